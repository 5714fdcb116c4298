#include "bench/extract/PeerTimings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace bench {

namespace {

struct RunResult {
    double seconds = 0;
    bool failed = false;
    bool timedOut = false;
};

// Starts program once and waits for it; standard output goes to outputFile (thrown away
// when empty), standard error is thrown away.
RunResult runOnce(const QString& program, const QStringList& arguments, int timeoutMs,
                  const QString& outputFile = QString()) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(outputFile.isEmpty() ? QProcess::nullDevice() : outputFile);
    process.setStandardErrorFile(QProcess::nullDevice());
    RunResult result;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs)) {
        result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        result.failed = true;
        return result;
    }
    const auto left = std::max<qint64>(1, timeoutMs - clock.elapsed());
    if (!process.waitForFinished(static_cast<int>(left))) {
        process.kill();
        process.waitForFinished(-1);
        result.timedOut = true;
    }
    result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    result.failed =
        result.timedOut || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0;
    return result;
}

// A scratch folder: the one asked for, else a temporary one that lives as long as this.
class Scratch {
public:
    explicit Scratch(const QString& asked) {
        if (!asked.isEmpty()) {
            QDir().mkpath(asked);
            path_ = asked;
        } else {
            temporary_ = std::make_unique<QTemporaryDir>();
            path_ = temporary_->path();
        }
    }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

private:
    std::unique_ptr<QTemporaryDir> temporary_;
    QString path_;
};

Timing missing(const QString& name, const QString& note) {
    Timing timing;
    timing.name = name;
    timing.available = false;
    timing.note = note;
    return timing;
}

// Runs command(file) for each file, one process each.
Timing timePerFile(const QString& name, const QStringList& files, int timeoutMs,
                   const std::function<QStringList(const QString&)>& command,
                   const QString& program, const QString& removeAfter = QString()) {
    Timing timing;
    timing.name = name;
    timing.cpu = CpuTime::start();
    for (const QString& file : files) {
        const RunResult run = runOnce(program, command(file), timeoutMs);
        if (!removeAfter.isEmpty())
            QFile::remove(removeAfter);
        timing.wallSeconds += run.seconds;
        ++timing.files;
        timing.failures += run.failed ? 1 : 0;
        timing.timeouts += run.timedOut ? 1 : 0;
        timing.perFile.append({file, run.seconds, run.failed});
    }
    timing.cpu.stop();
    return timing;
}

// Whether the pdftk at path is pdftk-java: Debian's is a shell script that starts java.
bool isPdftkJava(const QString& path) {
    const QFileInfo info(path);
    if (info.canonicalFilePath().contains(QLatin1String("pdftk-java")))
        return true;
    QFile file(info.canonicalFilePath());
    return file.open(QIODevice::ReadOnly) && file.read(64 * 1024).contains("java");
}

double median(QList<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const Timing* findTiming(const QList<Timing>& timings, const QString& name) {
    for (const Timing& timing : timings)
        if (timing.name == name)
            return &timing;
    return nullptr;
}

} // namespace

namespace {
double usedSeconds(int who) {
    struct rusage usage {};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
} // namespace

CpuTime CpuTime::start() {
    CpuTime time;
    time.ownSeconds = -usedSeconds(RUSAGE_SELF);
    time.toolSeconds = -usedSeconds(RUSAGE_CHILDREN);
    return time;
}

void CpuTime::stop() {
    ownSeconds += usedSeconds(RUSAGE_SELF);
    toolSeconds += usedSeconds(RUSAGE_CHILDREN);
    measured = true;
}

void Timing::add(const Timing& part) {
    if (name.isEmpty())
        name = part.name;
    available = available && part.available;
    if (note.isEmpty())
        note = part.note;
    wallSeconds += part.wallSeconds;
    files += part.files;
    failures += part.failures;
    timeouts += part.timeouts;
    perFile += part.perFile;
    cpu.ownSeconds += part.cpu.ownSeconds;
    cpu.toolSeconds += part.cpu.toolSeconds;
    cpu.measured = cpu.measured || part.cpu.measured;
}

QString findPdfinfo() {
    return QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
}

QString findExiftool() {
    return QStandardPaths::findExecutable(QStringLiteral("exiftool"));
}

QString findPdftkJava(const QString& ourTool) {
    const QString named = QStandardPaths::findExecutable(QStringLiteral("pdftk.pdftk-java"));
    if (!named.isEmpty())
        return named;
    const QString ours = QFileInfo(ourTool).canonicalFilePath();
    for (const QString& candidate : {QStandardPaths::findExecutable(QStringLiteral("pdftk")),
                                     QStringLiteral("/usr/bin/pdftk")}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isExecutable() &&
            QFileInfo(candidate).canonicalFilePath() != ours && isPdftkJava(candidate))
            return candidate;
    }
    return {};
}

Timing timeOurTool(const QString& tool, const QStringList& files, const PeerOptions& options) {
    const QString name = QStringLiteral("our tool, bare (pdftk)");
    if (!QFileInfo(tool).isExecutable())
        return missing(name, QStringLiteral("%1 is missing: build the pdftk target").arg(tool));
    const Scratch scratch(options.scratchFolder);
    const QString output = scratch.file(QStringLiteral("our-tool-dump.txt"));
    return timePerFile(
        name, files, options.timeoutMs,
        [&](const QString& file) {
            return QStringList{file, QStringLiteral("dump_data"), QStringLiteral("output"), output};
        },
        tool, output);
}

Timing timeOurToolSideBySide(const QString& tool, const QStringList& files, int width,
                             const PeerOptions& options) {
    const QString name = QStringLiteral("our tool, %1 side by side, no window").arg(width);
    if (!QFileInfo(tool).isExecutable())
        return missing(name, QStringLiteral("%1 is missing: build the pdftk target").arg(tool));
    const Scratch scratch(options.scratchFolder);
    std::atomic<qsizetype> next = 0;
    std::atomic<qsizetype> failures = 0;
    std::atomic<qsizetype> timeouts = 0;
    // Each loop in a thread of Qt's, which QProcess needs, with a dump file of its own.
    const auto loop = [&](int number) {
        const QString output = scratch.file(QStringLiteral("our-tool-dump-%1.txt").arg(number));
        for (qsizetype i = next++; i < files.size(); i = next++) {
            const RunResult run = runOnce(
                tool, {files[i], QStringLiteral("dump_data"), QStringLiteral("output"), output},
                options.timeoutMs);
            QFile::remove(output);
            failures += run.failed ? 1 : 0;
            timeouts += run.timedOut ? 1 : 0;
        }
    };
    Timing timing;
    timing.name = name;
    timing.cpu = CpuTime::start();
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QThread>> loops;
    for (int number = 0; number < width; ++number) {
        loops.emplace_back(QThread::create(loop, number));
        loops.back()->start();
    }
    for (const auto& thread : loops)
        thread->wait();
    timing.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    timing.cpu.stop();
    timing.files = files.size();
    timing.failures = failures;
    timing.timeouts = timeouts;
    return timing;
}

Timing timePdfinfo(const QStringList& files, const PeerOptions& options) {
    const QString name = QStringLiteral("pdfinfo per file");
    const QString pdfinfo = findPdfinfo();
    if (pdfinfo.isEmpty())
        return missing(name, QStringLiteral("pdfinfo is missing: apt-get install poppler-utils"));
    return timePerFile(
        name, files, options.timeoutMs, [](const QString& file) { return QStringList{file}; },
        pdfinfo);
}

Timing timeExiftoolBatch(const QStringList& files, const PeerOptions& options) {
    Timing timing;
    timing.name = QStringLiteral("exiftool -fast2, one batch");
    const QString exiftool = findExiftool();
    if (exiftool.isEmpty())
        return missing(timing.name, QStringLiteral("exiftool is missing: apt-get install "
                                                   "libimage-exiftool-perl"));
    const Scratch scratch(options.scratchFolder);
    // One argument a line; absolute paths, so that no line starts with "#" or "-", and none
    // holds a line break (such a name could not be passed this way).
    QFile arguments(scratch.file(QStringLiteral("exiftool-arguments.txt")));
    if (!arguments.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return missing(timing.name, QStringLiteral("cannot write %1").arg(arguments.fileName()));
    for (const char* option :
         {"-fast2", "-s", "-Title", "-Author", "-Subject", "-Keywords", "-Creator", "-Producer",
          "-PageCount", "-CreateDate", "-ModifyDate", "-PDFVersion", "-Error", "-Warning"})
        arguments.write(QByteArray(option) + '\n');
    for (const QString& file : files) {
        const QByteArray path = QFile::encodeName(QFileInfo(file).absoluteFilePath());
        if (path.contains('\n') || path.contains('\r')) {
            ++timing.failures;
            continue;
        }
        arguments.write(path + '\n');
    }
    arguments.close();
    timing.files = files.size();

    const QString output = scratch.file(QStringLiteral("exiftool-output.txt"));
    const auto limit = std::min<qint64>(
        options.timeoutMs + 1000 * static_cast<qint64>(files.size()), 24 * 3600 * 1000);
    const RunResult run = runOnce(exiftool, {QStringLiteral("-@"), arguments.fileName()},
                                  static_cast<int>(limit), output);
    timing.wallSeconds = run.seconds;
    if (run.timedOut) {
        timing.timeouts = 1;
        timing.failures = files.size();
        return timing;
    }
    // exiftool prints each file's tags under a "======== FILE" line, an Error tag for a file
    // it cannot parse, a Warning tag for one whose strings it cannot decrypt, and ends with
    // a summary such as "3 image files read" and "1 files could not be read" (files it
    // could not open).
    QFile printed(output);
    if (!printed.open(QIODevice::ReadOnly)) {
        timing.failures = files.size();
        return timing;
    }
    bool summarized = false;
    while (!printed.atEnd()) {
        const QByteArray line = printed.readLine().trimmed();
        if (line.startsWith("Error ") ||
            (line.startsWith("Warning ") && line.contains("password protected")))
            ++timing.failures;
        if (line.endsWith("files could not be read"))
            timing.failures += line.split(' ').value(0).toLongLong();
        summarized =
            summarized || line.endsWith("files read") || line.endsWith("could not be read");
    }
    if (!summarized)
        timing.failures = files.size(); // exiftool did not get through
    return timing;
}

Timing timePdftkJava(const QString& ourTool, const QStringList& files, const PeerOptions& options) {
    const QString name = QStringLiteral("pdftk-java per file");
    const QString java = findPdftkJava(ourTool);
    if (java.isEmpty())
        return missing(name, QStringLiteral("pdftk-java is missing: apt-get install pdftk-java"));
    const Scratch scratch(options.scratchFolder);
    const QString output = scratch.file(QStringLiteral("pdftk-java-dump.txt"));
    return timePerFile(
        name, files, options.timeoutMs,
        [&](const QString& file) {
            return QStringList{file, QStringLiteral("dump_data"), QStringLiteral("output"), output};
        },
        java, output);
}

QStringList evenSample(const QStringList& files, qsizetype count) {
    if (count <= 0)
        return {};
    if (files.size() <= count)
        return files;
    QStringList sample;
    for (qsizetype i = 0; i < count; ++i)
        sample.append(files[i * files.size() / count + files.size() / (2 * count)]);
    return sample;
}

qint64 warmPageCache(const QStringList& files) {
    qint64 total = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;)
            total += got;
    }
    return total;
}

QList<Timing> timeInTurns(const QStringList& files, int chunks, const QList<PerFileTimer>& timers) {
    QList<Timing> totals(timers.size());
    if (files.isEmpty() || timers.isEmpty())
        return totals;
    for (const PerFileTimer& timer : timers)
        timer({files.first()});
    const qsizetype parts = std::clamp<qsizetype>(chunks, 1, files.size());
    for (qsizetype part = 0; part < parts; ++part) {
        const qsizetype begin = part * files.size() / parts;
        const qsizetype end = (part + 1) * files.size() / parts;
        const QStringList chunk = files.mid(begin, end - begin);
        for (qsizetype turn = 0; turn < timers.size(); ++turn) {
            const qsizetype which = (part + turn) % timers.size();
            totals[which].add(timers[which](chunk));
        }
    }
    return totals;
}

Timing restrictedTo(const Timing& timing, const QStringList& files, const QString& name) {
    Timing part;
    part.name = name;
    part.available = timing.available;
    part.note = timing.note;
    const QSet<QString> wanted(files.begin(), files.end());
    for (const FileTime& run : timing.perFile) {
        if (!wanted.contains(run.path))
            continue;
        part.wallSeconds += run.seconds;
        ++part.files;
        part.failures += run.failed ? 1 : 0;
        part.perFile.append(run);
    }
    return part;
}

QString formatTimings(const QList<Timing>& timings) {
    qsizetype nameWidth = 4;
    for (const Timing& timing : timings)
        nameWidth = std::max(nameWidth, timing.name.size());
    const int width = static_cast<int>(nameWidth);
    QString text = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                       .arg(QStringLiteral("tool"), -width)
                       .arg(QStringLiteral("files"), 6)
                       .arg(QStringLiteral("failed"), 7)
                       .arg(QStringLiteral("timeouts"), 9)
                       .arg(QStringLiteral("wall s"), 9)
                       .arg(QStringLiteral("files/s"), 9)
                       .arg(QStringLiteral("ms/file"), 9)
                       .arg(QStringLiteral("median ms"), 10);
    QStringList notes;
    for (const Timing& timing : timings) {
        if (!timing.available) {
            notes.append(QStringLiteral("%1: skipped, %2").arg(timing.name, timing.note));
            continue;
        }
        QList<double> perFile;
        for (const FileTime& run : timing.perFile)
            perFile.append(run.seconds);
        text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                    .arg(timing.name, -width)
                    .arg(timing.files, 6)
                    .arg(timing.failures, 7)
                    .arg(timing.timeouts, 9)
                    .arg(timing.wallSeconds, 9, 'f', 2)
                    .arg(timing.filesPerSecond(), 9, 'f', 1)
                    .arg(timing.secondsPerFile() * 1000, 9, 'f', 2)
                    .arg(perFile.isEmpty() ? QStringLiteral("-")
                                           : QString::number(median(perFile) * 1000, 'f', 2),
                         10);
    }
    for (const QString& note : notes)
        text += note + QLatin1Char('\n');
    return text;
}

QString formatCpuTimes(const QList<Timing>& timings) {
    QString text;
    const int cores = std::max(1, QThread::idealThreadCount());
    for (const Timing& timing : timings) {
        if (!timing.cpu.measured || timing.files == 0)
            continue;
        const double files = static_cast<double>(timing.files);
        text += QStringLiteral("%1: processor time per file %2 ms in this process, %3 ms in the "
                               "tools; the %4 cores at work %5% of the time\n")
                    .arg(timing.name)
                    .arg(timing.cpu.ownSeconds / files * 1000, 0, 'f', 2)
                    .arg(timing.cpu.toolSeconds / files * 1000, 0, 'f', 2)
                    .arg(cores)
                    .arg((timing.cpu.ownSeconds + timing.cpu.toolSeconds) / cores /
                             timing.wallSeconds * 100,
                         0, 'f', 0);
    }
    return text;
}

QString formatRatios(const QList<Timing>& timings, const QList<Comparison>& comparisons) {
    QString text;
    for (const Comparison& comparison : comparisons) {
        const Timing* faster = findTiming(timings, comparison.faster);
        const Timing* slower = findTiming(timings, comparison.slower);
        QString line;
        QString reason;
        for (const auto& [timing, wanted] :
             {std::pair{faster, comparison.faster}, std::pair{slower, comparison.slower}}) {
            if (!reason.isEmpty())
                break;
            if (!timing)
                reason = QStringLiteral("no timing of %1").arg(wanted);
            else if (!timing->available)
                reason = timing->note;
            else if (timing->files == 0 || timing->wallSeconds <= 0)
                reason = QStringLiteral("%1 timed no file").arg(wanted);
        }
        if (!reason.isEmpty()) {
            line = QStringLiteral("%1 against %2: not compared (%3)")
                       .arg(comparison.faster, comparison.slower, reason);
        } else {
            const double ratio = slower->secondsPerFile() / faster->secondsPerFile();
            line = QStringLiteral("%1: %2x %3 per file than %4")
                       .arg(comparison.faster)
                       .arg(ratio >= 1 ? ratio : 1 / ratio, 0, 'f', 2)
                       .arg(ratio >= 1 ? QStringLiteral("faster") : QStringLiteral("slower"))
                       .arg(comparison.slower);
            if (comparison.atLeast > 0)
                line += QStringLiteral(" (target at least %1x: %2)")
                            .arg(comparison.atLeast, 0, 'g', 3)
                            .arg(ratio >= comparison.atLeast ? QStringLiteral("met")
                                                             : QStringLiteral("MISSED"));
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace bench
