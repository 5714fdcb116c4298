// Extraction benchmark, in one run over the same files:
//
// Real files: the Debian documentation PDFs (fetched into a cache on the first run) and the
// public test PDFs. The window's run (offscreen, the window built on the desktop's services as
// the program builds it, its "Done." box closed as a user would) with one tool and with one
// tool per processor, our tool bare one file after the other and as many loops of it side by
// side as there are processors (the bound the machine sets), pdfinfo per file, exiftool
// -fast2 as one batch and pdftk-java on a sample; each figure for the Debian PDFs alone too,
// and the ratios between them with their targets.
//
// Generated files: copies of one small generated PDF. The run against the bare tool on the
// same files, and the cost per file and the run's peak memory in a folder of 20 against one
// of 2,000 (neither may grow with the number of files).
//
// Usage: bench_extract [--tool PATH] [--debian FOLDER] [--shared FOLDER] [--java-files N]
//                      [--chunks N] [--timeout SECONDS] [--no-fetch] [--files N] [--large N]
//                      [--real-only] [--generated-only] [--window-only]
// --window-only times just the window's runs and the bare tool (alone and side by side) over
// the real files, for quick comparisons of the program's own cost (and a run to profile).
// Run it from the build folder: the tool is ./pdftk unless --tool names another; the window's
// runs always use the program folder's tool, the build folder's pdftk. A missing peer is named
// and skipped.
#include "app/MainWindow.h"
#include "base/Services.h"
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

double peakMemoryMb() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

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
bench::Timing timeWindowRun(const QStringList& files, int parallelTools, const QString& name) {
    DesktopServices desktop;
    app::MainWindow window(desktop.services(), desktop.prompts);
    desktop.prompts.setParentWindow(&window);
    desktop.errors.setParentWindow(&window);
    window.load();
    window.parallelTools = parallelTools;
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

void benchmarkWindowOnly(const RealFileOptions& options) {
    const int cores = extract::RunOptions::defaultParallelTools();
    const QStringList files = bench::listCorpus(options.debianFolder, options.sharedFolder).all();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no real files to time\n");
        return;
    }
    bench::warmPageCache(files);
    const QString windowOne = QStringLiteral("window's run, 1 tool");
    const QString windowAll = QStringLiteral("window's run, %1 tools").arg(cores);
    const QList<bench::Timing> timings = bench::timeInTurns(
        files, options.chunks,
        {[&](const QStringList& chunk) { return timeWindowRun(chunk, 1, windowOne); },
         [&](const QStringList& chunk) { return timeWindowRun(chunk, cores, windowAll); },
         [&](const QStringList& chunk) {
             return bench::timeOurTool(options.tool, chunk, options.peers);
         },
         [&](const QStringList& chunk) {
             return bench::timeOurToolSideBySide(options.tool, chunk, cores, options.peers);
         }});
    print(QStringLiteral("REAL FILES, the window's runs and the bare tool only\n"));
    print(bench::formatTimings(timings));
    print(bench::formatCpuTimes(timings));
    print(bench::formatRatios(timings, {{windowAll, timings[2].name, 1.6},
                                        {windowOne, timings[2].name, 0},
                                        {windowAll, windowOne, 0},
                                        {timings[3].name, timings[2].name, 0},
                                        {windowAll, timings[3].name, 0}}));
}

void benchmarkRealFiles(const RealFileOptions& options) {
    const int cores = extract::RunOptions::defaultParallelTools();
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

    const QString windowOne = QStringLiteral("window's run, 1 tool");
    const QString windowAll = QStringLiteral("window's run, %1 tools").arg(cores);
    const QSet<QString> inSample(javaSample.begin(), javaSample.end());
    const QList<bench::PerFileTimer> timers{
        [&](const QStringList& chunk) { return timeWindowRun(chunk, 1, windowOne); },
        [&](const QStringList& chunk) { return timeWindowRun(chunk, cores, windowAll); },
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
            return bench::timeOurToolSideBySide(options.tool, chunk, cores, options.peers);
        },
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
    const bench::Timing& ours = whole[2];
    const bench::Timing& pdfinfo = whole[3];
    const bench::Timing& sideBySide = whole[5];
    print(QStringLiteral("\nevery file (pdftk-java: its sample of %1)\n").arg(javaSample.size()));
    print(bench::formatTimings(whole.mid(0, 3) + QList{sideBySide, pdfinfo, exiftool, whole[4]}));
    print(bench::formatCpuTimes(whole.mid(0, 3) + QList{sideBySide}));

    QList<bench::Timing> debianOnly;
    for (bench::Timing timing : debian.mid(0, 4)) {
        timing.name += QStringLiteral(", Debian PDFs");
        debianOnly.append(timing);
    }
    debianOnly.append(exiftoolDebian);
    print(QStringLiteral("\nthe Debian PDFs alone (the same runs)\n"));
    print(bench::formatTimings(debianOnly));

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
                                  {windowAll, exiftool.name, 2.5},
                                  {windowAll, pdfinfo.name, 3.0},
                                  // The overlap of the tools pays.
                                  {windowAll, ours.name, 1.6},
                                  {windowAll, windowOne, 0},
                                  {windowOne, ours.name, 0},
                                  // The bound the processors set for tools side by side.
                                  {sideBySide.name, ours.name, 0},
                                  {windowAll, sideBySide.name, 0},
                                  {debianName(1), debianName(4), 2.5},
                                  {debianName(1), debianName(3), 3.0},
                                  {debianName(1), debianName(2), 1.6},
                                  {ours.name, pdfinfo.name, 0},
                                  {oursOnSample, whole[4].name, 0},
                                  // At most half of pdfinfo's time: at least twice as fast.
                                  {oursLarge, pdfinfoLarge, 2.0},
                              }));
}

QStringList makeCopies(const QString& folder, const QString& source, int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/document %2.pdf").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        QFile::copy(source, path);
        paths.append(path);
    }
    return paths;
}

void benchmarkGeneratedFiles(const QString& tool, const QString& source, int files, int large) {
    const int cores = extract::RunOptions::defaultParallelTools();
    print(QStringLiteral("\nGENERATED FILES: copies of %1\n").arg(source));
    QTemporaryDir work;
    const QStringList copies = makeCopies(work.path(), source, files);
    const QString windowOne = QStringLiteral("window's run, 1 tool");
    const QString windowAll = QStringLiteral("window's run, %1 tools").arg(cores);
    const QList<bench::Timing> timings = bench::timeInTurns(
        copies, 10,
        {[&](const QStringList& chunk) { return timeWindowRun(chunk, 1, windowOne); },
         [&](const QStringList& chunk) { return timeWindowRun(chunk, cores, windowAll); },
         [&](const QStringList& chunk) { return bench::timeOurTool(tool, chunk); }});
    print(bench::formatTimings(timings));
    print(bench::formatCpuTimes(timings));
    print(bench::formatRatios(timings, {{windowOne, timings[2].name, 0},
                                        {windowAll, timings[2].name, 0},
                                        {windowAll, windowOne, 0}}));

    QTemporaryDir small;
    QTemporaryDir big;
    const QStringList few = makeCopies(small.path(), source, 20);
    const QStringList many = makeCopies(big.path(), source, large);
    for (const int tools : {1, cores}) {
        resetPeakMemory();
        const double fewRun = timeWindowRun(few, tools, QString()).wallSeconds;
        const double fewPeak = peakMemoryMb();
        resetPeakMemory();
        const double manyRun = timeWindowRun(many, tools, QString()).wallSeconds;
        const double manyPeak = peakMemoryMb();
        print(QStringLiteral("%1 tool(s): per file %2 ms in a folder of 20, %3 ms in one of %4 "
                             "(%5x); peak memory %6 MB and %7 MB\n")
                  .arg(tools)
                  .arg(fewRun / 20 * 1000, 0, 'f', 2)
                  .arg(manyRun / large * 1000, 0, 'f', 2)
                  .arg(large)
                  .arg((manyRun / large) / (fewRun / 20), 0, 'f', 2)
                  .arg(fewPeak, 0, 'f', 1)
                  .arg(manyPeak, 0, 'f', 1));
    }
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
            "[--large N] [--real-only] [--generated-only] [--window-only]\n"));
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
                                number(arguments, QStringLiteral("--large"), 2000));
    print(QStringLiteral("\nload average at end: %1; wall time of the whole benchmark: %2 s\n")
              .arg(loadAverage())
              .arg(static_cast<double>(clock.elapsed()) / 1000, 0, 'f', 1));
    return 0;
}
