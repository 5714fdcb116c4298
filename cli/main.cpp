// parvilon-cli: the extraction of the window, from the command line. It reads the same
// properties with the same tool into the same columns and writes the same aligned text, or
// CSV, or a workbook (see usageText).
#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/FileListModel.h"
#include "base/PropertySet.h"
#include "base/ResultsModel.h"
#include "cli/CliRequest.h"
#include "cli/InputFiles.h"
#include "cli/TerminalProgress.h"
#include "cli/TerminalPrompts.h"
#include "extract/ExtractionRun.h"
#include "output/SpreadsheetExport.h"
#include "output/TextSave.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/OpenFileLimit.h"
#include "platform/PrivateTempFolder.h"

#include <QBuffer>
#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int everyFileRead = 0;
constexpr int someFilesUnread = 1;
constexpr int badUsage = 2;
constexpr int outputNotWritten = 3;

// The signal that interrupted the run; its exit status is 128 plus its number.
std::atomic<int> interruptedBy = 0;

// Writes all of data to standard output; the reason when it cannot.
QString writeStandardOutput(const QByteArray& data) {
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t done = ::write(STDOUT_FILENO, data.constData() + written,
                                     static_cast<size_t>(data.size() - written));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return QString::fromLocal8Bit(std::strerror(done < 0 ? errno : EIO));
        written += done;
    }
    return {};
}

// Writes the results where the request says; false, said on the error output, when it
// cannot.
bool writeResults(const base::ResultsSnapshot& results, const cli::CliRequest& request) {
    switch (*cli::outputFormFor(request.output)) {
    case cli::OutputForm::AlignedText:
        return output::saveResultsText(results, request.output, output::TextForm::Aligned, nullptr);
    case cli::OutputForm::Csv:
        return output::saveResultsText(results, request.output, output::TextForm::Csv, nullptr);
    case cli::OutputForm::Workbook:
        try {
            output::writeResultsWorkbook(results, request.output, nullptr);
            return true;
        } catch (const base::RunTimeError& error) {
            cli::printError(QString::fromUtf8(error.what()));
            return false;
        }
    case cli::OutputForm::StandardOutput: {
        // Made whole first, then written with the system's own reason for any failure (a
        // closed output, a full disk, a pipe whose reader has gone).
        QBuffer text;
        text.open(QIODevice::WriteOnly);
        output::writeResultsText(results, text, output::TextForm::Aligned, nullptr,
                                 QStringLiteral("-"));
        if (const QString problem = writeStandardOutput(text.data()); !problem.isEmpty()) {
            cli::printError(
                QStringLiteral("the standard output cannot be written: %1").arg(problem));
            return false;
        }
        return true;
    }
    }
    return false;
}

int extractAndWrite(const cli::CliRequest& request) {
    const base::ErrorReport errors(QStringLiteral("parvilon-cli"));
    if (platform::privateTempFolder().isEmpty()) {
        cli::printError(QStringLiteral("no private temporary folder can be made"));
        return someFilesUnread;
    }
    const base::Result<cli::InputFiles> input = cli::inputFilesOf(request, errors);
    if (!input.ok()) {
        cli::printError(input.error());
        return badUsage;
    }
    if (const QString leftOut = cli::leftOutLine(input.value().leftOut); !leftOut.isEmpty())
        cli::printError(leftOut);
    if (const QString same = platform::sameFileAmong(input.value().files, request.output);
        !same.isEmpty()) {
        cli::printError(QStringLiteral("the output %1 is one of the files to read (%2): name "
                                       "another output")
                            .arg(request.output, same));
        return badUsage;
    }
    base::FileListModel files;
    files.append(input.value().files);
    const QStringList headers = request.properties
                                    ? base::headerRowForNames(*request.properties).value()
                                    : base::buildHeaderRow(errors);
    base::ResultsModel results;
    cli::TerminalProgress progress;
    base::QuietBusyState busy;
    extract::RunOptions options;
    options.askForPasswords = [&] { return request.askForPasswords; };
    options.parallelTools = request.parallelTools.value_or(options.parallelTools);
    const extract::RunSummary summary =
        extract::runExtraction(files, results, headers, progress, busy, options, errors);
    progress.reset();
    const bool written = writeResults(results.snapshot(), request);
    for (int row = 0; row < results.count(); ++row)
        if (const QString reason = results.unreadReason(row); !reason.isEmpty())
            cli::printError(
                QStringLiteral("could not read %1: %2").arg(results.cell(row, 0), reason));
    if (!written)
        return outputNotWritten;
    return summary.unreadFiles == 0 ? everyFileRead : someFilesUnread;
}

// The arguments as the system gave them: a path whose bytes are not UTF-8 is carried as
// it is.
QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(platform::decodeFileName(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const base::Result<cli::CliRequest> request = cli::parseCommandLine(argumentsOf(argc, argv));
    if (!request.ok()) {
        cli::printError(request.error());
        std::fputs(cli::usageText, stderr);
        return badUsage;
    }
    if (request.value().help) {
        std::fputs(cli::usageText, stdout);
        return everyFileRead;
    }
    cli::TerminalPrompts prompts;
    platform::installPrompts(&prompts);
    platform::raiseOpenFileLimit();
    // A reader of the output that goes away is a failed write, said and ended normally.
    std::signal(SIGPIPE, SIG_IGN);
    // Interrupted, the run stops at its next turn, and the tool it waits for with it.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, [](int number) {
            interruptedBy = number;
            base::endProgramFromSignal();
        });
    try {
        return extractAndWrite(request.value());
    } catch (const base::ProgramClosing&) {
        cli::printError(QStringLiteral("interrupted"));
        return 128 + interruptedBy.load();
    }
}
