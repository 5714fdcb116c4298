// Extraction benchmark: runs the program's real extraction run (offscreen window, scripted
// prompts) over copies of a generated PDF and prints
//  - files per second of the run,
//  - the ratio of the run's wall time to the sum of bare tool invocations on the same
//    files, timed in the same process, the two taking turns over chunks of the files
//    (target: at most 1.05 at 200 files),
//  - the program's own processor time during the runs,
//  - the cost per file of a run over 20 files against a run over 2,000 files in one folder
//    (the run must not cost more per file in a larger folder).
//
// Usage: bench_extract [--files N] [--large N] [--tool PATH]
// Run from the build folder (it needs testpdfs/ and a tool: ./pdftk, else pdftk on PATH).
#include "base/Settings.h"
#include "extract/ExtractionRun.h"
#include "extract/ToolCommand.h"
#include "extract/ToolRunner.h"
#include "platform/ProgramFolder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestWindow.h"

#include <QPushButton>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

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

double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double runCpu = 0;

// Seconds the run takes over the given files.
double timeRun(const QStringList& files) {
    testsupport::ScriptedPrompts prompts;
    auto window = testsupport::makeMainWindow();
    window->show();
    window->fileList().append(files);
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = ownCpuSeconds();
    window->controls().startExtraction->click();
    runCpu += ownCpuSeconds() - cpuBefore;
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (window->results().count() != files.size())
        std::fprintf(stderr, "warning: %d rows for %lld files\n", window->results().count(),
                     static_cast<long long>(files.size()));
    return seconds;
}

// Seconds the bare tool takes, one process per file, waited for without anything else.
double timeBareTool(const QString& tool, const QStringList& files, const QString& output) {
    double total = 0;
    for (const QString& file : files) {
        const auto command = extract::buildToolCommand(tool, file, QString(), output);
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(command.program, command.arguments);
        process.waitForFinished(-1);
        total += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QFile::remove(output);
    }
    return total;
}

// Seconds the program's tool runner takes over the same files, without a window.
double timeRunner(const QString& tool, const QStringList& files, const QString& output) {
    double total = 0;
    for (const QString& file : files) {
        const auto command = extract::buildToolCommand(tool, file, QString(), output);
        QElapsedTimer clock;
        clock.start();
        extract::runToolAndWait(command, nullptr, QString(), 0, 1);
        total += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QFile::remove(output);
    }
    return total;
}

int argument(const QStringList& arguments, const QString& name, int fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char* argv[]) {
    testsupport::isolateEnvironment();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int files = argument(arguments, QStringLiteral("--files"), 200);
    const int large = argument(arguments, QStringLiteral("--large"), 2000);
    const QString buildFolder = QCoreApplication::applicationDirPath();
    QString tool = extract::toolPath();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--tool"));
        at >= 0 && at + 1 < arguments.size())
        tool = arguments[at + 1];
    const QString source = buildFolder + QStringLiteral("/testpdfs/plain-all-fields.pdf");
    if (!QFile::exists(source) || !QFile::exists(tool)) {
        std::fprintf(stderr, "needs %s and a tool (%s)\n", qPrintable(source), qPrintable(tool));
        return 1;
    }
    // The run finds the tool in its program folder.
    QTemporaryDir programFolder;
    QFile::link(tool, programFolder.filePath(QStringLiteral("pdftk")));
    platform::overrideProgramFolder(programFolder.path());

    std::printf("tool: %s\n", qPrintable(tool));
    QTemporaryDir work;
    const QStringList copies = makeCopies(work.filePath(QString()), source, files);
    // Bare tool and run take turns over chunks of the files, so that both see the same load
    // of the machine.
    constexpr int chunks = 10;
    double bare = 0;
    double runner = 0;
    double run = 0;
    const QString bareOutput = work.filePath(QStringLiteral("bare-result.txt"));
    for (int chunk = 0; chunk < chunks; ++chunk) {
        const QStringList part = copies.mid(chunk * files / chunks, files / chunks);
        bare += timeBareTool(tool, part, bareOutput);
        runner += timeRunner(tool, part, bareOutput);
        run += timeRun(part);
    }
    std::printf("run over %d files: %.2f s, %.1f files/s\n", files, run, files / run);
    std::printf("bare tool on the same files: %.2f s\n", bare);
    std::printf("the program's tool runner alone on the same files: %.2f s\n", runner);
    std::printf("run / bare tool: %.3f (target at most 1.05)\n", run / bare);
    std::printf("the program's own processor time during the runs: %.2f s\n", runCpu);

    QTemporaryDir small;
    QTemporaryDir big;
    const QStringList few = makeCopies(small.path(), source, 20);
    const QStringList many = makeCopies(big.path(), source, large);
    const double fewRun = timeRun(few);
    const double manyRun = timeRun(many);
    std::printf("per file, 20 files in a folder of 20: %.2f ms\n", fewRun / 20 * 1000);
    std::printf("per file, %d files in one folder: %.2f ms (%.2f times the small folder)\n", large,
                manyRun / large * 1000, (manyRun / large) / (fewRun / 20));
    return 0;
}
