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
#include "cli/TerminalProgress.h"
#include "cli/TerminalPrompts.h"
#include "extract/ExtractionRun.h"
#include "filelist/FolderTree.h"
#include "filelist/FolderWalk.h"
#include "output/SpreadsheetExport.h"
#include "output/TextSave.h"
#include "platform/PrivateTempFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

namespace {

constexpr int everyFileRead = 0;
constexpr int someFilesUnread = 1;
constexpr int badUsage = 2;
constexpr int interrupted = 130;

// The files the paths name: a folder gives every file of its tree with the extension, in
// the order of the folder scan; anything else is taken as it is.
QStringList filesOf(const cli::CliRequest& request, const base::ErrorReport& errors) {
    QStringList files;
    for (const QString& path : request.paths) {
        if (filelist::isFolder(path))
            files.append(filelist::filesOfFolderTree(path, QStringLiteral("*.") + request.extension,
                                                     errors));
        else
            files.append(path);
    }
    return files;
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
        QFile standardOutput;
        try {
            if (!standardOutput.open(stdout, QIODevice::WriteOnly))
                throw base::RunTimeError(standardOutput.errorString());
            output::writeResultsText(results, standardOutput, output::TextForm::Aligned, nullptr,
                                     QStringLiteral("-"));
            return standardOutput.flush();
        } catch (const base::RunTimeError& error) {
            cli::printError(QString::fromUtf8(error.what()));
            return false;
        }
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
    base::FileListModel files;
    files.append(filesOf(request, errors));
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
    return written && summary.unreadFiles == 0 ? everyFileRead : someFilesUnread;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(cli::usageText, stdout);
        return everyFileRead;
    }
    const base::Result<cli::CliRequest> request = cli::parseCommandLine(arguments);
    if (!request.ok()) {
        cli::printError(request.error());
        std::fputs(cli::usageText, stderr);
        return badUsage;
    }
    cli::TerminalPrompts prompts;
    platform::installPrompts(&prompts);
    // Interrupted, the run stops at its next turn, and the tool it waits for with it.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, [](int) { base::endProgramFromSignal(); });
    try {
        return extractAndWrite(request.value());
    } catch (const base::ProgramClosing&) {
        cli::printError(QStringLiteral("interrupted"));
        return interrupted;
    }
}
