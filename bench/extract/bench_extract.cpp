// Extraction benchmark, in one run over the same files:
//
// Real files: the Debian documentation PDFs (fetched into a cache on the first run) and the
// public test PDFs. The window's run (offscreen, the window built on the desktop's services as
// the program builds it, its "Done." box closed as a user would) with workers that stay (one,
// and one per processor), with a process per file, and with the audit's columns ticked (with
// the page size, which reads every page, and without it); our
// tool bare one file after the other and as many loops of it side by side as there are
// processors; pdfinfo per file, exiftool -fast2 as one batch and pdftk-java on a sample; each
// figure for the Debian PDFs alone too, the processor time per file, and the ratios between
// them with their targets.
//
// Generated files: copies of one small generated PDF. The ways of the run against the bare
// tool on the same files; then the workers' run over a folder of 2,000 copies and one of
// 100,000: its time, and its peak memory, which may not grow with the number of files.
//
// Usage: bench_extract [--tool PATH] [--debian FOLDER] [--shared FOLDER] [--java-files N]
//                      [--chunks N] [--timeout SECONDS] [--no-fetch] [--files N] [--few N]
//                      [--large N] [--real-only] [--generated-only] [--window-only]
// --window-only times just the window's runs and the bare tool (alone and side by side) over
// the real files, for quick comparisons of the program's own cost (and a run to profile).
// Run it from the build folder: the tool is ./pdftk unless --tool names another; the window's
// runs always use the program folder's tool, the build folder's pdftk. A missing peer is named
// and skipped.
#include "app/MainWindow.h"
#include "base/Properties.h"
#include "base/Services.h"
#include "base/Settings.h"
#include "bench/extract/BenchCorpus.h"
#include "bench/extract/PeerTimings.h"
#include "extract/RunOptions.h"
#include "gui/ErrorBoxes.h"
#include "gui/QtPrompts.h"
#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/Folders.h"
#include "platform/SpreadsheetApplication.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QString option(const QStringList& arguments, const QString& name, const QString& fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
}

int number(const QStringList& arguments, const QString& name, int fallback) {
    bool ok = false;
    const int value = option(arguments, name, QString()).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

void print(const QString& text) {
    std::fputs(qUtf8Printable(text), stdout);
    std::fflush(stdout);
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2);
}

// The peak resident memory of this process since the last reset, in MB; the reset lets each
// run be measured on its own.
void resetPeakMemory() {
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

double statusMb(const QByteArray& key) {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

double peakMemoryMb() {
    return statusMb("VmHWM:");
}

double residentMemoryMb() {
    return statusMb("VmRSS:");
}

// The largest peak resident memory of the tools this process runs, looked at every 50 ms
// while it lives (a child's own figures: the kernel's count for children that have ended
// includes what they shared with this process before they started the tool).
class ToolMemoryWatch {
public:
    ToolMemoryWatch() {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(50);
    }
    double largestMb() const { return largest; }

private:
    void look() {
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (comm) state ppid ...: the parent follows the last ')'.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() < 2 || fields[1] != self)
                continue;
            QFile status(QStringLiteral("/proc/%1/status").arg(entry));
            if (!status.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& field : status.readAll().split('\n'))
                if (field.startsWith("VmHWM:"))
                    largest = std::max(largest,
                                       field.mid(6).trimmed().split(' ').first().toDouble() / 1024);
        }
    }
    QTimer timer;
    double largest = 0;
};

// The desktop's services, made as the program makes them in app/main.cpp.
struct DesktopServices {
    gui::QtPrompts prompts;
    platform::DesktopClipboard clipboard;
    platform::QtDesktopShell shell;
    platform::DesktopSpreadsheet spreadsheet;
    platform::SystemFolders folders;
    gui::ErrorBoxes errors;
    base::Services services() { return {prompts, clipboard, shell, spreadsheet, folders, errors}; }
};

// Presses OK on every box the program shows (the run's closing "Done." among them), as a
// user would, and keeps what each said.
class BoxCloser {
public:
    BoxCloser() {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { closeShownBoxes(); });
        timer.start();
    }
    QStringList said;

private:
    void closeShownBoxes() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                said.append(box->windowTitle() + QStringLiteral(": ") + box->text());
                box->accept();
            }
        }
    }
    QTimer timer;
};

// The window's whole run over files, started with its button as a user would and timed to
// its end (the window idle again): one figure for all files; files the tool could not read
// count as failures.
// How the window's run reads the files.
struct RunWay {
    int tools = 1;
    // A process per file instead of tools that serve one file after another.
    bool perFile = false;
    // The audit's columns ticked besides the described ones; the page size among them or not
    // (without it, the tool reads the first page alone).
    bool audit = false;
    bool pageSize = true;
};

// Ticks or unticks the audit's columns in the settings, as the property dialog stores them.
void chooseAuditColumns(bool chosen, bool pageSize) {
    for (const base::PropertyInfo& info : base::properties())
        if (info.group == base::Group::More)
            base::writeSetting(QLatin1String(info.settingsKey),
                               chosen && (pageSize || info.id != base::Property::PageSize)
                                   ? QStringLiteral("1")
                                   : QStringLiteral("0"));
}

// residentAtEnd, when given, is set to this process's resident memory when the run has ended
// and the window still holds its rows.
bench::Timing timeWindowRun(const QStringList& files, RunWay way, const QString& name,
                            double* residentAtEnd = nullptr) {
    chooseAuditColumns(way.audit, way.pageSize);
    DesktopServices desktop;
    app::MainWindow window(desktop.services(), desktop.prompts);
    desktop.prompts.setParentWindow(&window);
    desktop.errors.setParentWindow(&window);
    window.load();
    window.parallelTools = way.tools;
    window.processPerFile = way.perFile;
    window.show();
    window.fileList().append(files);
    // A user clicks a window that has been painted: its first paint is not part of the run.
    QCoreApplication::processEvents();
    BoxCloser user;
    bench::Timing timing;
    timing.name = name;
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&window, &app::MainWindow::busyChanged, &loop, [&](bool busy) {
        if (busy)
            return;
        timing.cpu.stop();
        timing.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        loop.quit();
    });
    clock.start();
    timing.cpu = bench::CpuTime::start();
    window.controls().startExtraction->click();
    if (window.isBusy())
        loop.exec();
    if (!timing.cpu.measured) { // the run did not start
        timing.cpu.stop();
        timing.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    timing.files = files.size();
    if (residentAtEnd)
        *residentAtEnd = residentMemoryMb();
    for (int row = 0; row < window.results().count(); ++row)
        timing.failures += window.results().unreadReason(row).isEmpty() ? 0 : 1;
    if (window.results().count() != files.size())
        std::fprintf(stderr, "warning: %d rows for %lld files\n", window.results().count(),
                     static_cast<long long>(files.size()));
    // Error boxes (dates the table cannot read, say) are counted, not timed apart.
    QStringList others = user.said;
    others.removeIf([](const QString& text) { return text.contains(QStringLiteral("Done.")); });
    if (!others.isEmpty())
        std::fprintf(stderr, "note: the window showed %lld other boxes; the first: %s\n",
                     static_cast<long long>(others.size()), qUtf8Printable(others.first()));
    return timing;
}

struct RealFileOptions {
    QString tool;
    QString debianFolder;
    QString sharedFolder;
    int javaFiles = 20;
    int chunks = 10;
    bool fetch = true;
    bench::PeerOptions peers;
};

// The names of the window's runs, each way the run can read the files.
struct WindowRuns {
    int cores = extract::RunOptions::defaultParallelTools();
    QString one = QStringLiteral("window's run, 1 worker");
    QString all = QStringLiteral("window's run, %1 workers").arg(cores);
    QString perFile = QStringLiteral("window's run, a process per file, %1 at once").arg(cores);
    QString audit = QStringLiteral("window's run, %1 workers, audit columns").arg(cores);
    QString auditFirstPage =
        QStringLiteral("window's run, %1 workers, audit columns but the page size").arg(cores);

    QList<bench::PerFileTimer> timers() const {
        return {
            [this](const QStringList& chunk) { return timeWindowRun(chunk, {1}, one); },
            [this](const QStringList& chunk) { return timeWindowRun(chunk, {cores}, all); },
            [this](const QStringList& chunk) {
                return timeWindowRun(chunk, {cores, true}, perFile);
            },
            [this](const QStringList& chunk) {
                return timeWindowRun(chunk, {cores, false, true}, audit);
            },
        };
    }
    // Timed after the others, so that their places stay.
    bench::PerFileTimer auditFirstPageTimer() const {
        return [this](const QStringList& chunk) {
            return timeWindowRun(chunk, {cores, false, true, false}, auditFirstPage);
        };
    }
};

// What the audit's columns add to each file's cost, against the same run without them.
QString formatAuditCost(const bench::Timing& plain, const bench::Timing& audit) {
    if (plain.secondsPerFile() <= 0 || audit.secondsPerFile() <= 0)
        return QStringLiteral("the audit's columns: not compared (no file timed)\n");
    const double more = (audit.secondsPerFile() / plain.secondsPerFile() - 1) * 100;
    return QStringLiteral("%1: %2 % more per file than %3 (target at most 10 %: %4)\n")
        .arg(audit.name)
        .arg(more, 0, 'f', 1)
        .arg(plain.name)
        .arg(more <= 10 ? QStringLiteral("met") : QStringLiteral("MISSED"));
}

void benchmarkWindowOnly(const RealFileOptions& options) {
    const WindowRuns window;
    const QStringList files = bench::listCorpus(options.debianFolder, options.sharedFolder).all();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no real files to time\n");
        return;
    }
    bench::warmPageCache(files);
    const QList<bench::Timing> timings = bench::timeInTurns(
        files, options.chunks,
        window.timers() + QList<bench::PerFileTimer>{
                              [&](const QStringList& chunk) {
                                  return bench::timeOurTool(options.tool, chunk, options.peers);
                              },
                              [&](const QStringList& chunk) {
                                  return bench::timeOurToolSideBySide(options.tool, chunk,
                                                                      window.cores, options.peers);
                              },
                              window.auditFirstPageTimer()});
    const QString& bare = timings[4].name;
    const QString& sideBySide = timings[5].name;
    print(QStringLiteral("REAL FILES, the window's runs and the bare tool only\n"));
    print(bench::formatTimings(timings));
    print(bench::formatCpuTimes(timings));
    print(bench::formatRatios(timings, {{window.all, window.perFile, 3.0},
                                        {window.all, window.one, 1.7},
                                        {window.all, bare, 1.6},
                                        {window.one, bare, 0},
                                        {sideBySide, bare, 0},
                                        {window.all, sideBySide, 0}}));
    print(formatAuditCost(timings[1], timings[3]));
    print(formatAuditCost(timings[1], timings[6]));
}

void benchmarkRealFiles(const RealFileOptions& options) {
    const WindowRuns window;
    QString error;
    if (options.fetch && !bench::ensureDebianPdfs(options.debianFolder, &error))
        std::fprintf(stderr, "no Debian PDFs: %s\n", qUtf8Printable(error));
    const bench::Corpus corpus = bench::listCorpus(options.debianFolder, options.sharedFolder);
    print(QStringLiteral("REAL FILES\nDebian PDFs cached in %1\npublic test PDFs in %2\n")
              .arg(options.debianFolder, options.sharedFolder));
    print(bench::describeCorpus(corpus));
    const QStringList files = corpus.all();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no real files to time\n");
        return;
    }
    const QStringList large = bench::filesOver(files);
    const QStringList javaSample = bench::evenSample(files, options.javaFiles);
    QElapsedTimer clock;
    clock.start();
    const qint64 warmed = bench::warmPageCache(files);
    print(QStringLiteral("\npage cache warmed: %1 MB read in %2 s\n")
              .arg(static_cast<double>(warmed) / 1e6, 0, 'f', 1)
              .arg(static_cast<double>(clock.elapsed()) / 1000, 0, 'f', 1));

    // The batch cannot take turns with the others: it runs first, on the warmed files. A few
    // public files (AES-256 above all) take exiftool seconds each, so a batch over the Debian
    // PDFs alone shows its cost on ordinary documents.
    print(QStringLiteral("timing exiftool's batches ...\n"));
    const bench::Timing exiftool = bench::timeExiftoolBatch(files, options.peers);
    bench::Timing exiftoolDebian = bench::timeExiftoolBatch(corpus.debian, options.peers);
    exiftoolDebian.name += QStringLiteral(", Debian PDFs");

    const QSet<QString> inSample(javaSample.begin(), javaSample.end());
    // 0 to 3: the window's runs; 4: our tool bare; 5: pdfinfo; 6: pdftk-java; 7: side by side;
    // 8: the window's run with the audit's columns but the page size.
    const QList<bench::PerFileTimer> timers =
        window.timers() +
        QList<bench::PerFileTimer>{
            [&](const QStringList& chunk) {
                return bench::timeOurTool(options.tool, chunk, options.peers);
            },
            [&](const QStringList& chunk) { return bench::timePdfinfo(chunk, options.peers); },
            [&](const QStringList& chunk) {
                QStringList part;
                for (const QString& file : chunk)
                    if (inSample.contains(file))
                        part.append(file);
                return bench::timePdftkJava(options.tool, part, options.peers);
            },
            [&](const QStringList& chunk) {
                return bench::timeOurToolSideBySide(options.tool, chunk, window.cores,
                                                    options.peers);
            },
            window.auditFirstPageTimer(),
        };
    // The two parts in turns of their own, so that every timer has a figure for the Debian
    // PDFs alone; the whole is their sum.
    print(QStringLiteral("timing the window's runs, our tool, pdfinfo (every file) and pdftk-java "
                         "(%1 files) in %2 chunks per part, taking turns ...\n")
              .arg(javaSample.size())
              .arg(options.chunks));
    if (!javaSample.isEmpty())
        bench::timePdftkJava(options.tool, {javaSample.first()},
                             options.peers); // starts Java, untimed
    const QList<bench::Timing> debian = bench::timeInTurns(corpus.debian, options.chunks, timers);
    const QList<bench::Timing> shared = bench::timeInTurns(corpus.shared, options.chunks, timers);
    QList<bench::Timing> whole;
    for (qsizetype i = 0; i < timers.size(); ++i) {
        bench::Timing sum;
        sum.add(debian[i]);
        sum.add(shared[i]);
        whole.append(sum);
    }
    const bench::Timing& ours = whole[4];
    const bench::Timing& pdfinfo = whole[5];
    const bench::Timing& java = whole[6];
    const bench::Timing& sideBySide = whole[7];
    print(QStringLiteral("\nevery file (pdftk-java: its sample of %1)\n").arg(javaSample.size()));
    const bench::Timing& auditFirstPage = whole[8];
    print(bench::formatTimings(whole.mid(0, 5) +
                               QList{auditFirstPage, sideBySide, pdfinfo, exiftool, java}));
    print(bench::formatCpuTimes(whole.mid(0, 5) + QList{auditFirstPage, sideBySide}));

    QList<bench::Timing> debianOnly;
    for (bench::Timing timing : debian.mid(0, 6)) {
        timing.name += QStringLiteral(", Debian PDFs");
        debianOnly.append(timing);
    }
    debianOnly.append(exiftoolDebian);
    debianOnly.append(debian[8]); // 7: the audit's columns but the page size
    debianOnly.last().name += QStringLiteral(", Debian PDFs");
    print(QStringLiteral("\nthe Debian PDFs alone (the same runs)\n"));
    print(bench::formatTimings(debianOnly));
    print(bench::formatCpuTimes(debianOnly.mid(0, 5) + QList{debianOnly[7]}));

    const QString oursOnSample = QStringLiteral("our tool on pdftk-java's sample");
    const QString oursLarge = QStringLiteral("our tool, files over 1 MB");
    const QString pdfinfoLarge = QStringLiteral("pdfinfo, files over 1 MB");
    const QList<bench::Timing> parts{
        bench::restrictedTo(ours, javaSample, oursOnSample),
        bench::restrictedTo(ours, large, oursLarge),
        bench::restrictedTo(pdfinfo, large, pdfinfoLarge),
    };
    print(QStringLiteral("\nparts of the corpus (the same runs)\n"));
    print(bench::formatTimings(parts));

    const auto debianName = [&](qsizetype i) { return debianOnly[i].name; };
    print(QStringLiteral("\nratios\n"));
    print(bench::formatRatios(whole + QList{exiftool} + debianOnly + parts,
                              {
                                  // Workers that stay against a process per file, the
                                  // exiftool batch, and against one worker.
                                  {debianName(1), debianName(2), 3.0},
                                  {debianName(1), debianName(6), 15.0},
                                  {debianName(1), debianName(0), 1.7},
                                  {debianName(1), debianName(5), 3.0},
                                  {debianName(1), debianName(4), 1.6},
                                  {window.all, window.perFile, 0},
                                  {window.all, exiftool.name, 2.5},
                                  {window.all, pdfinfo.name, 3.0},
                                  {window.all, ours.name, 1.6},
                                  {window.all, window.one, 0},
                                  {window.perFile, ours.name, 0},
                                  // The bound the processors set for tools side by side.
                                  {sideBySide.name, ours.name, 0},
                                  {window.perFile, sideBySide.name, 0},
                                  {ours.name, pdfinfo.name, 0},
                                  {oursOnSample, java.name, 0},
                                  // At most half of pdfinfo's time: at least twice as fast.
                                  {oursLarge, pdfinfoLarge, 2.0},
                              }));
    print(formatAuditCost(debianOnly[1], debianOnly[3]));
    print(formatAuditCost(debianOnly[1], debianOnly[7]));
    print(formatAuditCost(whole[1], whole[3]));
    print(formatAuditCost(whole[1], whole[8]));
}

// Copies of source named "document NNNNNN.pdf" in folder, written from one read of it.
QStringList makeCopies(const QString& folder, const QString& source, int count) {
    QFile original(source);
    const QByteArray bytes = original.open(QIODevice::ReadOnly) ? original.readAll() : QByteArray();
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/document %2.pdf").arg(folder).arg(i, 6, 10, QLatin1Char('0'));
        QFile copy(path);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
            return paths;
        }
        paths.append(path);
    }
    return paths;
}

void benchmarkGeneratedFiles(const QString& tool, const QString& source, int files, int few,
                             int many) {
    const WindowRuns window;
    print(QStringLiteral("\nGENERATED FILES: copies of %1\n").arg(source));
    QTemporaryDir work;
    const QStringList copies = makeCopies(work.path(), source, files);
    const QList<bench::Timing> timings = bench::timeInTurns(
        copies, 10,
        window.timers().mid(0, 3) + QList<bench::PerFileTimer>{[&](const QStringList& chunk) {
            return bench::timeOurTool(tool, chunk);
        }});
    print(bench::formatTimings(timings));
    print(bench::formatCpuTimes(timings));
    print(bench::formatRatios(timings, {{window.all, window.perFile, 0},
                                        {window.all, window.one, 0},
                                        {window.all, timings[3].name, 0}}));

    // The workers' run over a folder of few copies and over one of many: neither the time per
    // file nor the memory may grow with the number of files. The window keeps every row it
    // shows, so what it holds at the end grows with them; the run's own memory is its peak
    // above that.
    QTemporaryDir small;
    QTemporaryDir big;
    const QStringList fewCopies = makeCopies(small.path(), source, few);
    const QStringList manyCopies = makeCopies(big.path(), source, many);
    bench::warmPageCache(fewCopies + manyCopies);
    const double before = residentMemoryMb();
    double fewHeld = 0;
    double manyHeld = 0;
    resetPeakMemory();
    bench::Timing fewRun;
    double fewTool = 0;
    {
        const ToolMemoryWatch tools;
        fewRun = timeWindowRun(fewCopies, {window.cores}, window.all, &fewHeld);
        fewTool = tools.largestMb();
    }
    const double fewPeak = peakMemoryMb();
    resetPeakMemory();
    bench::Timing manyRun;
    double manyTool = 0;
    {
        const ToolMemoryWatch tools;
        manyRun = timeWindowRun(manyCopies, {window.cores}, window.all, &manyHeld);
        manyTool = tools.largestMb();
    }
    const double manyPeak = peakMemoryMb();
    const auto verdict = [](bool met) {
        return met ? QStringLiteral("met") : QStringLiteral("MISSED");
    };
    print(QStringLiteral("%1: %2 files in %3 s (%4 ms per file, target at most 40 s for 100,000: "
                         "%5), %6 files in %7 s (%8 ms per file)\n")
              .arg(window.all)
              .arg(many)
              .arg(manyRun.wallSeconds, 0, 'f', 1)
              .arg(manyRun.secondsPerFile() * 1000, 0, 'f', 3)
              .arg(verdict(manyRun.secondsPerFile() * 100'000 <= 40))
              .arg(few)
              .arg(fewRun.wallSeconds, 0, 'f', 1)
              .arg(fewRun.secondsPerFile() * 1000, 0, 'f', 3));
    print(bench::formatCpuTimes({manyRun}));
    print(
        QStringLiteral("the program's peak memory: %1 MB with %2 files, %3 MB with %4 (%5 % more; "
                       "%6 MB before the run); at the run's end, with the window holding its "
                       "rows: %7 MB and %8 MB (%9 bytes per row)\n")
            .arg(fewPeak, 0, 'f', 1)
            .arg(few)
            .arg(manyPeak, 0, 'f', 1)
            .arg(many)
            .arg((manyPeak / fewPeak - 1) * 100, 0, 'f', 1)
            .arg(before, 0, 'f', 1)
            .arg(fewHeld, 0, 'f', 1)
            .arg(manyHeld, 0, 'f', 1)
            .arg((manyHeld - fewHeld) * 1024 * 1024 / (many - few), 0, 'f', 0));
    const double fewOwn = fewPeak - fewHeld;
    const double manyOwn = manyPeak - manyHeld;
    print(QStringLiteral("the run's own memory above the rows: %1 MB with %2 files, %3 MB with %4; "
                         "the largest tool at work: %5 MB and %6 MB (target at most 10 % more: "
                         "%7)\n")
              .arg(fewOwn, 0, 'f', 1)
              .arg(few)
              .arg(manyOwn, 0, 'f', 1)
              .arg(many)
              .arg(fewTool, 0, 'f', 1)
              .arg(manyTool, 0, 'f', 1)
              .arg(verdict(manyTool <= fewTool * 1.1)));
}

} // namespace

int main(int argc, char* argv[]) {
    // The environment is read for the corpus folders before it is isolated.
    RealFileOptions real;
    real.debianFolder = bench::defaultDebianPdfFolder();
    real.sharedFolder = bench::defaultSharedCorpusFolder();
    testsupport::isolateEnvironment();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--help"))) {
        print(QStringLiteral(
            "usage: bench_extract [--tool PATH] [--debian FOLDER] [--shared FOLDER] "
            "[--java-files N] [--chunks N] [--timeout SECONDS] [--no-fetch] [--files N] "
            "[--few N] [--large N] [--real-only] [--generated-only] [--window-only]\n"));
        return 0;
    }
    const QString buildFolder = QCoreApplication::applicationDirPath();
    real.tool = option(arguments, QStringLiteral("--tool"), buildFolder + QStringLiteral("/pdftk"));
    real.debianFolder = option(arguments, QStringLiteral("--debian"), real.debianFolder);
    real.sharedFolder = option(arguments, QStringLiteral("--shared"), real.sharedFolder);
    real.javaFiles = number(arguments, QStringLiteral("--java-files"), 20);
    real.chunks = number(arguments, QStringLiteral("--chunks"), 10);
    real.fetch = !arguments.contains(QStringLiteral("--no-fetch"));
    real.peers.timeoutMs = number(arguments, QStringLiteral("--timeout"), 30) * 1000;
    const QString source = buildFolder + QStringLiteral("/testpdfs/plain-all-fields.pdf");
    if (!QFile::exists(real.tool) || !QFile::exists(source)) {
        std::fprintf(stderr, "needs a tool (%s) and %s\n", qPrintable(real.tool),
                     qPrintable(source));
        return 1;
    }
    // The window's run finds the tool in its program folder, the build folder.
    if (QFileInfo(real.tool).canonicalFilePath() !=
        QFileInfo(buildFolder + QStringLiteral("/pdftk")).canonicalFilePath())
        std::fprintf(stderr, "note: the window's runs use %s/pdftk, not %s\n",
                     qPrintable(buildFolder), qPrintable(real.tool));

    QElapsedTimer clock;
    clock.start();
    print(QStringLiteral("our tool: %1\ncores: %2, load average at start: %3\n\n")
              .arg(real.tool)
              .arg(QThread::idealThreadCount())
              .arg(loadAverage()));
    const bool windowOnly = arguments.contains(QStringLiteral("--window-only"));
    if (windowOnly)
        benchmarkWindowOnly(real);
    else if (!arguments.contains(QStringLiteral("--generated-only")))
        benchmarkRealFiles(real);
    if (!windowOnly && !arguments.contains(QStringLiteral("--real-only")))
        benchmarkGeneratedFiles(real.tool, source,
                                number(arguments, QStringLiteral("--files"), 200),
                                number(arguments, QStringLiteral("--few"), 2000),
                                number(arguments, QStringLiteral("--large"), 100'000));
    print(QStringLiteral("\nload average at end: %1; wall time of the whole benchmark: %2 s\n")
              .arg(loadAverage())
              .arg(static_cast<double>(clock.elapsed()) / 1000, 0, 'f', 1));
    return 0;
}
