// parvilon-cli: the extraction of the window, from the command line. It reads the same
// properties with the same tool into the same columns and writes the same aligned text, or
// CSV, or a workbook, or JSON (see usageText).
#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "base/Properties.h"
#include "base/ResultsSnapshot.h"
#include "cli/CliRequest.h"
#include "cli/InputFiles.h"
#include "cli/JsonLinesStream.h"
#include "cli/StandardOutput.h"
#include "cli/TerminalProgress.h"
#include "cli/TerminalPrompts.h"
#include "extract/ExtractionRun.h"
#include "extract/ToolCommand.h"
#include "output/JsonSave.h"
#include "output/TextSave.h"
#include "output/TextTable.h"
#include "output/WorkbookExport.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"
#include "platform/OpenFileLimit.h"
#include "platform/TerminationSignals.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPointer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

constexpr int everyFileRead = 0;
constexpr int someFilesUnread = 1;
constexpr int badUsage = 2;
constexpr int outputNotWritten = 3;

// The signal that interrupted the program; its exit status is 128 plus its number.
std::atomic<int> interruptedBy = 0;

// What a termination signal ends: the run, or the writing of its output, whichever goes on.
QPointer<extract::ExtractionRun> runningRun;
QPointer<base::BackgroundWork> runningWrite;

void endOnSignal(int signal) {
    interruptedBy = signal;
    if (runningRun)
        runningRun->abort();
    if (runningWrite)
        runningWrite->stop(); // the write ends at its next step, its file not put in place
    QCoreApplication::quit();
}

// Writes the results where the request says; the reason, in one line, when it cannot. JSON
// Lines went out as the rows came (JsonLinesStream) and are not written here.
base::Status writeResults(const base::ResultsSnapshot& results, const cli::CliRequest& request,
                          const QString& scratchFolder, const base::StopRequest& stop) {
    const QLocale locale;
    const cli::OutputForm form = cli::outputFormOf(request);
    if (!cli::writesStandardOutput(request)) {
        switch (form) {
        case cli::OutputForm::AlignedText:
        case cli::OutputForm::Csv:
            return output::saveResultsText(results, request.output,
                                           output::textFormFor(request.output), locale, nullptr,
                                           &stop);
        case cli::OutputForm::Workbook:
            return output::writeResultsWorkbook(results, request.output, scratchFolder, locale,
                                                nullptr, &stop);
        case cli::OutputForm::Json:
            return output::saveResultsJson(results, request.output, nullptr, &stop);
        case cli::OutputForm::JsonLines:
            return base::Status::success();
        }
    }
    // Made whole first, then written with the system's own reason for any failure (a closed
    // output, a full disk, a pipe whose reader has gone).
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    switch (form) {
    case cli::OutputForm::AlignedText:
    case cli::OutputForm::Csv:
        output::writeResultsText(output::TextTable(results, locale, &stop), text,
                                 form == cli::OutputForm::Csv ? output::TextForm::Csv
                                                              : output::TextForm::Aligned,
                                 nullptr, &stop, QStringLiteral("-"));
        break;
    case cli::OutputForm::Json:
        output::writeResultsJson(results, text, output::JsonForm::Array, nullptr, &stop,
                                 QStringLiteral("-"));
        break;
    case cli::OutputForm::Workbook:
    case cli::OutputForm::JsonLines:
        return base::Status::success();
    }
    if (const QString problem = cli::writeStandardOutput(text.data()); !problem.isEmpty())
        return base::Status::failure(
            QStringLiteral("the standard output cannot be written: %1").arg(problem));
    return base::Status::success();
}

// The write of the output, in a thread of its own so that a termination signal is heard
// meanwhile.
base::Status writeUnderTheEventLoop(const base::ResultsSnapshot& results,
                                    const cli::CliRequest& request, const QString& scratchFolder) {
    base::Status result = base::Status::success();
    base::BackgroundWork write([&](base::BackgroundWork::Context& context) {
        return writeResults(results, request, scratchFolder, context.stop);
    });
    QObject::connect(&write, &base::BackgroundWork::finished, [&](const base::Status& ended) {
        result = ended;
        QCoreApplication::quit();
    });
    runningWrite = &write;
    write.start();
    QCoreApplication::exec();
    return result;
}

// The run over the files, under the event loop; the rows it made, in list order. Each row
// goes to the stream as it comes, if there is one; a row it cannot take ends the run.
base::ResultsSnapshot runExtraction(const QStringList& files, const base::Columns& columns,
                                    const cli::CliRequest& request, platform::Folders& folders,
                                    cli::TerminalPrompts& prompts, const base::ErrorReport& errors,
                                    cli::JsonLinesStream* stream) {
    extract::RunOptions options;
    options.askForPasswords = [&] { return request.askForPasswords; };
    options.parallelTools = request.parallelTools.value_or(options.parallelTools);
    options.processPerFile = request.processPerFile;
    options.toolPath = extract::toolPath(folders.programFolder());
    options.temporaryFolder = folders.privateTempFolder();
    extract::ExtractionRun run(files, columns, options, errors);
    base::ResultsSnapshot results{columns, {}};
    cli::TerminalProgress progress;
    QObject::connect(&run, &extract::ExtractionRun::rowReady, [&](const base::ResultRowData& row) {
        results.rows.append(row);
        results.rows.last().ticked = true;
        if (stream && !stream->write(row)) {
            // Nothing more can go out: the files not yet read are not read.
            run.abort();
            QCoreApplication::quit();
        }
    });
    QObject::connect(&run, &extract::ExtractionRun::progress, [&](int value, const QString& text) {
        progress.setValue(value);
        progress.setText(text);
    });
    // The terminal's answer is read at once: nothing else needs the event loop meanwhile,
    // and the tools already started go on by themselves.
    QObject::connect(
        &run, &extract::ExtractionRun::passwordNeeded, [&](const QString&, const QString& prompt) {
            run.answerPassword(prompts.askPassword(prompt, QStringLiteral("Input Password")));
        });
    QObject::connect(&run, &extract::ExtractionRun::finished,
                     [](const extract::RunSummary& summary) {
                         if (!summary.note.isEmpty())
                             cli::printError(summary.note);
                         QCoreApplication::quit();
                     });
    runningRun = &run;
    run.start();
    QCoreApplication::exec();
    progress.reset();
    return results;
}

int extractAndWrite(const cli::CliRequest& request, cli::TerminalPrompts& prompts,
                    base::ErrorSink& sink) {
    const base::ErrorReport errors(sink, QStringLiteral("parvilon-cli"));
    platform::SystemFolders folders;
    if (folders.privateTempFolder().isEmpty()) {
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
    const base::Columns columns = request.properties
                                      ? base::columnsNamed(*request.properties).value()
                                      : base::chosenColumns(errors);
    // JSON Lines go out as the rows come; a file that cannot even be started is said before
    // any file is read.
    std::unique_ptr<cli::JsonLinesStream> stream;
    if (cli::outputFormOf(request) == cli::OutputForm::JsonLines) {
        try {
            stream = std::make_unique<cli::JsonLinesStream>(request.output, columns);
        } catch (const base::RunTimeError& error) {
            cli::printError(QString::fromUtf8(error.what()));
            return outputNotWritten;
        }
    }
    const base::ResultsSnapshot results = runExtraction(input.value().files, columns, request,
                                                        folders, prompts, errors, stream.get());
    if (interruptedBy != 0) {
        cli::printError(QStringLiteral("interrupted"));
        return 128 + interruptedBy;
    }
    const base::Status written =
        stream ? stream->finish()
               : writeUnderTheEventLoop(results, request, folders.privateTempFolder());
    if (interruptedBy != 0) {
        cli::printError(QStringLiteral("interrupted"));
        return 128 + interruptedBy;
    }
    if (!written.ok())
        cli::printError(written.error());
    int unread = 0;
    for (const base::ResultRowData& row : results.rows) {
        if (row.unreadReason.isEmpty())
            continue;
        ++unread;
        cli::printError(QStringLiteral("could not read %1: %2").arg(row.path, row.unreadReason));
    }
    if (!written.ok())
        return outputNotWritten;
    return unread == 0 ? everyFileRead : someFilesUnread;
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
    platform::raiseOpenFileLimit();
    // A reader of the output that goes away is a failed write, said and ended normally.
    std::signal(SIGPIPE, SIG_IGN);
    // Interrupted, the run ends at once with its tools, or the write without its file.
    platform::onTerminationSignals(endOnSignal);
    cli::TerminalPrompts prompts;
    cli::TerminalErrors errors;
    return extractAndWrite(request.value(), prompts, errors);
}
