#include "extract/ExtractionRun.h"

#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/FileListModel.h"
#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "base/PropertySet.h"
#include "base/ResultsModel.h"
#include "extract/PdfVersion.h"
#include "extract/ShellDetails.h"
#include "extract/ToolOutput.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <source_location>
#include <sys/stat.h>

namespace extract {

namespace {

// The tool is started for every listed file except one that exists but is no regular file
// (a FIFO or device named like a PDF could make it block). A missing file is left to the
// tool, which fails on it.
bool toolMayOpen(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode);
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw base::RunTimeError(QStringLiteral("The tool output %1 cannot be read.").arg(path));
    return file.readAll();
}

void writeCells(const base::ResultRow& row, const RowCells& cells) {
    for (const RowCell& cell : cells)
        row.setCell(cell.column, cell.text);
}

class Run {
public:
    Run(const base::FileListModel& toRead, base::ResultsModel& toFill, base::Progress& shown,
        base::BusyState& busyState, const RunOptions& runOptions, const base::ErrorReport& report)
        : files(toRead), results(toFill), progress(shown), busy(busyState), options(runOptions),
          errors(report),
          outputFile(platform::privateTempFolder() + QStringLiteral("/result.txt")) {}

    RunSummary run(const QStringList& headers);

private:
    // Fills the row of file i of n; false when the user stopped the run at its password.
    bool processFile(int i, int n);
    // The password for path: asked, or the answer given for all remaining files. Nothing
    // when the user chose to stop.
    std::optional<QString> passwordFor(const QString& path);
    // Runs the tool for path, leaving what it wrote in outputFile; why the file could not
    // be read (the tool failed or wrote nothing), or an empty text.
    QString runTool(const QString& path, const QString& password, int n);

    const base::FileListModel& files;
    base::ResultsModel& results;
    base::Progress& progress;
    base::BusyState& busy;
    const RunOptions& options;
    const base::ErrorReport& errors;
    const QString outputFile;
    // Why the tool cannot be started, once it has failed to: it is not tried again.
    QString toolUnusable;
    // The answer the user gave for all remaining files of this run; it lives no longer.
    std::optional<QString> passwordForAll;
    RunSummary summary;
};

RunSummary Run::run(const QStringList& headers) {
    const base::BusyScope busyScope(busy);
    errors.step([&] { results.setHeaders(headers); });
    // Files added meanwhile are not part of this run.
    const int n = files.count();
    for (int i = 1; i <= n; ++i) {
        if (!processFile(i, n)) {
            summary.stopped = true;
            break; // as if the list ended here
        }
    }
    passwordForAll.reset();
    errors.step([&] { results.tickAll(); });
    summary.rows = results.count();
    return summary;
}

std::optional<QString> Run::passwordFor(const QString& path) {
    if (passwordForAll)
        return passwordForAll;
    const platform::PasswordAnswer answer = platform::prompts().askPassword(
        QStringLiteral("Enter password for file (") + path +
            QStringLiteral("): \r\nNote: Leave this box blank if file is not password protected"),
        QStringLiteral("Input Password"));
    if (answer.choice == platform::PasswordAnswer::Choice::Stop)
        return std::nullopt;
    // Cancel means no password, for this file or, ticked, for all the rest.
    const QString password =
        answer.choice == platform::PasswordAnswer::Choice::Ok ? answer.password : QString();
    if (answer.forAllRemaining)
        passwordForAll = password;
    return password;
}

QString Run::runTool(const QString& path, const QString& password, int n) {
    if (!toolUnusable.isEmpty())
        return toolUnusable;
    if (!toolMayOpen(path))
        return QStringLiteral("%1 is not a regular file.").arg(path);
    const ToolCommand command = buildToolCommand(toolPath(), path, password, outputFile);
    const ToolResult result =
        runToolAndWait(command, &progress, progress.text(), progress.value(), n, options.limits);
    if (!result.started) {
        // Said once: every other file would fail the same way.
        toolUnusable = QStringLiteral("The tool %1 cannot be started: %2.")
                           .arg(command.program, result.problem);
        errors.report(toolUnusable);
        return toolUnusable;
    }
    if (result.exitCode == toolStopped) {
        // Stopped mid-way, it may have left half an output: the row keeps what it has.
        deleteFileForced(outputFile);
        return QStringLiteral("The tool was stopped after %1 seconds.")
            .arg(static_cast<double>(options.limits.toolLimit.count()) / 1000.0);
    }
    if (result.exitCode != 0)
        return result.problem.isEmpty()
                   ? QStringLiteral("The tool ended with exit code %1.").arg(result.exitCode)
                   : result.problem;
    if (!QFileInfo::exists(outputFile))
        return result.problem.isEmpty() ? QStringLiteral("The tool wrote no output.")
                                        : result.problem;
    return {};
}

bool Run::processFile(int i, int n) {
    // The list cannot shrink while busy; a row that is gone all the same is skipped.
    const QString path = files.path(i - 1);
    if (path.isNull())
        return true;
    errors.step([&] {
        progress.setValue(i * 100 / n);
        progress.setText(QStringLiteral("Processing: ") + base::fileNameOf(path));
    });
    base::letEventsRun();
    busy.remind();

    ShellDetails details;
    errors.step([&] { details = readShellDetails(path); });
    base::ResultRow row;
    errors.step([&] { row = base::ResultRow::append(results, path); });
    const QStringList& headers = results.headers();
    errors.step([&] { writeCells(row, shellDetailCells(details, headers)); });
    deleteFileForced(outputFile);

    QString password;
    bool stopped = false;
    errors.step([&] {
        if (!options.askForPasswords())
            return;
        const std::optional<QString> given = passwordFor(path);
        stopped = !given;
        password = given.value_or(QString());
    });
    if (stopped) {
        // The file whose password was asked gets no row.
        errors.step([&] { row.remove(); });
        return false;
    }
    QString problem;
    errors.step([&] { problem = runTool(path, password, n); });
    // Whatever a tool that ended by itself wrote is read, as it always was; the row is
    // marked all the same when the tool failed.
    if (QFileInfo::exists(outputFile)) {
        errors.step([&] {
            const ToolOutputReading reading = readToolOutput(fileContents(outputFile), headers);
            writeCells(row, reading.cells);
            for (const QString& description : reading.problems)
                errors.report(description);
        });
    }
    deleteFileForced(outputFile);
    if (!problem.isEmpty()) {
        ++summary.unreadFiles;
        errors.step([&] { row.markUnread(problem); });
    }
    errors.step([&] {
        if (const int column = base::columnIndexOf(headers, base::versionHeader); column > 0)
            row.setCell(column, readPdfVersion(path).valueOrThrow());
    });
    return true;
}

} // namespace

RunSummary runExtraction(const base::FileListModel& files, base::ResultsModel& results,
                         const QStringList& headers, base::Progress& progress,
                         base::BusyState& busy, const RunOptions& options,
                         const base::ErrorReport& errors) {
    return Run(files, results, progress, busy, options, errors).run(headers);
}

void startExtraction(const base::FileListModel& files, base::ResultsModel& results,
                     base::Progress& progress, base::BusyState& busy, const RunOptions& options,
                     const base::ErrorReport& errors) {
    // A second start while a run (or any long operation) is going is refused.
    if (busy.isBusy())
        return;
    if (files.count() == 0) {
        platform::prompts().message(QStringLiteral("No files added."));
        return;
    }
    if (platform::privateTempFolder().isEmpty()) {
        // Without it the output file would be /result.txt, read and deleted for every file.
        errors.report(QStringLiteral("No private temporary folder can be made in %1, so no file "
                                     "can be read.")
                          .arg(QDir::tempPath()));
        return;
    }
    const RunSummary summary = runExtraction(files, results, base::buildHeaderRow(errors), progress,
                                             busy, options, errors);
    progress.reset();
    platform::prompts().message(QStringLiteral("Done.") + unreadFilesLine(summary.unreadFiles));
}

QString unreadFilesLine(int unreadFiles) {
    if (unreadFiles == 0)
        return {};
    return unreadFiles == 1 ? QStringLiteral("\r\n1 file could not be read.")
                            : QStringLiteral("\r\n%1 files could not be read.").arg(unreadFiles);
}

void deleteFileForced(const QString& path) {
    base::letEventsRun();
    if (QFile::remove(path) || !QFileInfo::exists(path))
        return;
    // A file that is read-only to us: make it writable and try again.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    QFile::remove(path);
}

} // namespace extract
