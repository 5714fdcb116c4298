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
#include "extract/ToolProcess.h"
#include "extract/WaitingProgress.h"
#include "platform/OpenFileLimit.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace extract {

namespace {

// How many files beyond the tools at work may wait, read, for their rows to be filled: a
// slow file then holds up the rows after it, not the tools.
constexpr int filesAheadPerTool = 8;

// Each tool at work holds three files open here at most (its error output, its end notice and,
// for a moment, its input); some are kept for the program itself.
constexpr long filesPerTool = 3;
constexpr long filesKept = 64;

// As many tools as asked for, but no more than the open-file limit lets work at once.
int toolsAllowed(int asked) {
    const long allowed = std::max(1L, (platform::openFileLimit() - filesKept) / filesPerTool);
    return static_cast<int>(std::clamp<long>(asked, 1, allowed));
}

// The tool is started for every listed file except one that exists but is no regular file
// (a FIFO or device named like a PDF could make it block). A missing file is left to the
// tool, which fails on it.
bool toolMayOpen(const platform::FolderDetails::Entry& entry) {
    return !entry.found || S_ISREG(entry.status.stx_mode);
}

// What the tool wrote to path; nothing when it wrote no file there.
std::optional<QByteArray> toolOutputIn(const QString& path) {
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0 && errno == ENOENT)
        return std::nullopt;
    const auto cannotRead = [&] {
        return base::RunTimeError(QStringLiteral("The tool output %1 cannot be read.").arg(path));
    };
    if (descriptor < 0)
        throw cannotRead();
    QByteArray contents;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got > 0) {
            contents.append(buffer, got);
        } else if (got == 0 || errno != EINTR) {
            ::close(descriptor);
            if (got < 0)
                throw cannotRead();
            return contents;
        }
    }
}

// Deletes a file whatever its permissions, ignoring every error, without letting events
// run: for the moment before a tool starts, when a processor may be waiting for it.
void removeFileForced(const QString& path) {
    // Called twice per file: the plain system call, without a file object each time.
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return;
    // A file that is read-only to us: make it writable and try again.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    QFile::remove(path);
}

void writeCells(const base::ResultRow& row, const RowCells& cells) {
    for (const RowCell& cell : cells)
        row.setCell(cell.column, cell.text);
}

// A start that fails for want of a resource the system gives back as other processes end
// (open files, processes, memory) is tried again rather than taken as a tool that cannot run.
bool isPassingStartError(int error) {
    return error == EMFILE || error == ENFILE || error == EAGAIN || error == ENOMEM;
}

// How long the starts of one file are tried again while such a failure lasts; only that file
// is then given up, never the run.
constexpr qint64 passingStartRetryMs = 30000;

// A file of the run from the moment its row is made until the row is filled. Should the
// run end early (the program ending), its tool is stopped and its output goes with it.
struct FileInRun {
    FileInRun() = default;
    FileInRun(FileInRun&&) = default;
    FileInRun& operator=(FileInRun&&) = default;
    ~FileInRun() {
        tool.reset();
        if (!outputFile.isEmpty())
            ::unlink(QFile::encodeName(outputFile).constData());
    }

    int number = 0; // from 1, in list order
    QString path;
    base::ResultRow row;
    QString outputFile;
    std::unique_ptr<ToolProcess> tool; // none when it was not started
    QElapsedTimer toolStarted;
    bool stoppedAtLimit = false;
    QString problem; // why it cannot be read, known before the tool ends
};

class Run {
public:
    Run(const base::FileListModel& toRead, base::ResultsModel& toFill, base::Progress& shown,
        base::BusyState& busyState, const RunOptions& runOptions, const base::ErrorReport& report)
        : files(toRead), results(toFill), progress(shown), busy(busyState), options(runOptions),
          errors(report), folder(platform::privateTempFolder()),
          tools(toolsAllowed(runOptions.parallelTools)) {}

    RunSummary run(const QStringList& headers);

private:
    // Starts on the next files while tools are free and the files ahead are few enough.
    void startMoreFiles();
    // Starts the next file's tool and makes its row; when passwords are asked, the row comes
    // first, then the question, then the tool. False when the user stopped the run at the
    // password.
    bool startFile(int number);
    // Adds the file's row with the details its file system entry gives.
    void makeRow(FileInRun& file, const platform::FolderDetails::Entry& entry);
    // Starts the file's tool, or notes why it cannot be.
    void startTool(FileInRun& file, const QString& password,
                   const platform::FolderDetails::Entry& entry);
    // Waits for the tool of the file whose row is next, keeping the others busy meanwhile.
    void waitForTool(FileInRun& next);
    // Fills the row from what the tool wrote and from the file's first line.
    void fillRow(FileInRun& file);
    // Why the file could not be read (the tool failed or wrote nothing), or an empty text.
    QString problemOf(FileInRun& file, bool wroteOutput);
    // Starts the tool of a file, trying again while the system lacks a resource for it.
    std::unique_ptr<ToolProcess> startWithRetries(const ToolCommand& command, FileInRun& file);
    void stopToolsPastTheirLimit();
    int toolsAtWork() const;
    void showProgressFor(const FileInRun& file);
    // The password for path: asked, or the answer given for all remaining files. Nothing
    // when the user chose to stop.
    std::optional<QString> passwordFor(const QString& path);
    // One tool alone writes result.txt, as always; tools side by side each their own file.
    QString outputFileFor(int number) const;

    const base::FileListModel& files;
    base::ResultsModel& results;
    base::Progress& progress;
    base::BusyState& busy;
    const RunOptions& options;
    const base::ErrorReport& errors;
    const QString folder;
    const QString tool = toolPath();
    const int tools;
    int count = 0;    // the files of the run
    int nextFile = 1; // the next to start on
    bool stopped = false;
    std::deque<FileInRun> inRun; // in list order
    // Why the tool cannot be started, once it has failed to: it is not tried again.
    QString toolUnusable;
    // The answer the user gave for all remaining files of this run; it lives no longer.
    std::optional<QString> passwordForAll;
    // The wait in progress, if any: time spent on a password question is not tool time.
    WaitingProgress* waiting = nullptr;
    RunSummary summary;
};

RunSummary Run::run(const QStringList& headers) {
    const base::BusyScope busyScope(busy);
    errors.step([&] { results.setHeaders(headers); });
    // Files added meanwhile are not part of this run.
    count = files.count();
    startMoreFiles();
    while (!inRun.empty()) {
        waitForTool(inRun.front());
        // The tool that ended leaves a processor free: the next one starts before the row
        // is filled.
        startMoreFiles();
        fillRow(inRun.front());
        inRun.pop_front();
        if (!inRun.empty())
            showProgressFor(inRun.front());
        startMoreFiles();
    }
    summary.stopped = stopped;
    passwordForAll.reset();
    errors.step([&] { results.tickAll(); });
    summary.rows = results.count();
    // What the table holds now: rows removed during the run ("Clear Results", the Delete key)
    // are not counted.
    summary.unreadFiles = 0;
    for (int row = 0; row < results.count(); ++row)
        summary.unreadFiles += results.unreadReason(row).isEmpty() ? 0 : 1;
    return summary;
}

int Run::toolsAtWork() const {
    // From what the waits last noticed: a tool that ended since is counted free at the next
    // wait, which returns at once for it.
    int working = 0;
    for (const FileInRun& file : inRun)
        working += file.tool && !file.tool->endNoticed() ? 1 : 0;
    return working;
}

void Run::startMoreFiles() {
    const auto ahead = static_cast<std::size_t>(tools == 1 ? 1 : tools * filesAheadPerTool);
    while (!stopped && nextFile <= count && toolsAtWork() < tools && inRun.size() < ahead) {
        if (!startFile(nextFile++))
            stopped = true; // as if the list ended here
    }
}

void Run::showProgressFor(const FileInRun& file) {
    errors.step([&] {
        progress.setValue(file.number * 100 / count);
        progress.setText(QStringLiteral("Processing: ") + base::fileNameOf(file.path));
    });
}

QString Run::outputFileFor(int number) const {
    return tools == 1 ? folder + QStringLiteral("/result.txt")
                      : folder + QStringLiteral("/result-%1.txt").arg(number);
}

bool Run::startFile(int number) {
    FileInRun file;
    file.number = number;
    // The list cannot shrink while busy; a row that is gone all the same is skipped.
    file.path = files.path(number - 1);
    if (file.path.isNull())
        return true;
    file.outputFile = outputFileFor(number);
    if (inRun.empty())
        showProgressFor(file);
    // Looked up before the tool opens the file: reading it may change the date it was last
    // accessed, and the row shows the dates from before the run.
    platform::FolderDetails::Entry entry;
    errors.step([&] { entry = platform::FolderDetails::lookUp(file.path); });
    bool asks = false;
    errors.step([&] { asks = options.askForPasswords(); });
    if (!asks) {
        // Nothing to ask: the tool starts at once, on the processor that the tool before it
        // has just freed, and the row is made while it works.
        startTool(file, QString(), entry);
        makeRow(file, entry);
        inRun.push_back(std::move(file));
        return true;
    }
    makeRow(file, entry);
    QString password;
    bool stop = false;
    // While the question is open, progress names the file it is about; the time it is open
    // is no tool's time, so a wait in progress does not count it.
    showProgressFor(file);
    QElapsedTimer asking;
    asking.start();
    errors.step([&] {
        const std::optional<QString> given = passwordFor(file.path);
        stop = !given;
        password = given.value_or(QString());
    });
    if (waiting)
        waiting->leaveOut(asking.elapsed());
    if (!inRun.empty())
        showProgressFor(inRun.front());
    if (stop) {
        // The file whose password was asked gets no row.
        errors.step([&] { file.row.remove(); });
        return false;
    }
    startTool(file, password, entry);
    inRun.push_back(std::move(file));
    return true;
}

void Run::makeRow(FileInRun& file, const platform::FolderDetails::Entry& entry) {
    base::letEventsRun();
    busy.remind();
    ShellDetails details;
    errors.step([&] { details = readShellDetails(file.path, entry); });
    errors.step([&] { file.row = base::ResultRow::append(results, file.path); });
    errors.step([&] { writeCells(file.row, shellDetailCells(details, results.headers())); });
}

void Run::startTool(FileInRun& file, const QString& password,
                    const platform::FolderDetails::Entry& entry) {
    // No stale output may pass for the tool's; events run once the tool has started.
    removeFileForced(file.outputFile);
    errors.step([&] {
        if (!toolUnusable.isEmpty()) {
            file.problem = toolUnusable;
            return;
        }
        if (!toolMayOpen(entry)) {
            file.problem = QStringLiteral("%1 is not a regular file.").arg(file.path);
            return;
        }
        const ToolCommand command = buildToolCommand(tool, file.path, password, file.outputFile);
        file.tool = startWithRetries(command, file);
        file.toolStarted.start();
        if (file.tool && !file.tool->wasStarted()) {
            // Said once: every other file would fail the same way.
            toolUnusable = QStringLiteral("The tool %1 cannot be started: %2.")
                               .arg(command.program,
                                    QString::fromLocal8Bit(std::strerror(file.tool->startError())));
            file.tool.reset();
            file.problem = toolUnusable;
            errors.report(toolUnusable);
        }
    });
}

std::unique_ptr<ToolProcess> Run::startWithRetries(const ToolCommand& command, FileInRun& file) {
    QElapsedTimer trying;
    trying.start();
    for (;;) {
        auto started = std::make_unique<ToolProcess>(command);
        const int error = started->startError();
        if (started->wasStarted() || !isPassingStartError(error))
            return started;
        if (trying.elapsed() > passingStartRetryMs) {
            file.problem = QStringLiteral("The tool could not be started for %1 seconds: %2.")
                               .arg(passingStartRetryMs / 1000)
                               .arg(QString::fromLocal8Bit(std::strerror(error)));
            return nullptr;
        }
        // Tools that end give back what this start lacked.
        std::vector<ToolProcess*> working;
        for (FileInRun& other : inRun)
            if (other.tool && !other.tool->endNoticed())
                working.push_back(other.tool.get());
        if (working.empty())
            QThread::msleep(20);
        else
            ToolProcess::waitForAny(working, 20);
        base::letEventsRun();
    }
}

void Run::stopToolsPastTheirLimit() {
    for (FileInRun& file : inRun) {
        if (file.tool && file.toolStarted.elapsed() > options.limits.toolLimit.count() &&
            file.tool->running()) {
            file.tool->stop();
            file.stoppedAtLimit = true;
        }
    }
}

void Run::waitForTool(FileInRun& next) {
    if (!next.tool)
        return;
    WaitingProgress shown(&progress, progress.text(), progress.value(), count, options.limits.pass);
    waiting = &shown;
    const auto noLongerWaiting = qScopeGuard([this] { waiting = nullptr; });
    std::vector<ToolProcess*> working;
    while (next.tool->running()) {
        // Whichever tool ends first wakes the wait, so that a free slot is used at once.
        working.clear();
        for (FileInRun& file : inRun)
            if (file.tool && !file.tool->endNoticed())
                working.push_back(file.tool.get());
        ToolProcess::waitForAny(working, static_cast<int>(options.limits.pass.count()));
        stopToolsPastTheirLimit();
        startMoreFiles();
        base::letEventsRun();
        shown.update();
    }
    shown.restoreCaption();
}

QString Run::problemOf(FileInRun& file, bool wroteOutput) {
    if (!file.problem.isEmpty())
        return file.problem;
    if (!file.tool) // its start failed in a way already reported
        return QStringLiteral("The tool was not started.");
    if (file.stoppedAtLimit)
        return QStringLiteral("The tool was stopped after %1 seconds.")
            .arg(static_cast<double>(options.limits.toolLimit.count()) / 1000.0);
    const QString said = firstErrorLine(file.tool->errors());
    if (const int exitCode = file.tool->exitCode(); exitCode != 0)
        return said.isEmpty() ? QStringLiteral("The tool ended with exit code %1.").arg(exitCode)
                              : said;
    if (!wroteOutput)
        return said.isEmpty() ? QStringLiteral("The tool wrote no output.") : said;
    return {};
}

void Run::fillRow(FileInRun& file) {
    // Stopped mid-way, a tool may have left half an output: the row keeps what it has.
    std::optional<QByteArray> output;
    if (!file.stoppedAtLimit)
        errors.step([&] { output = toolOutputIn(file.outputFile); });
    QString problem;
    errors.step([&] { problem = problemOf(file, output.has_value()); });
    // Whatever a tool that ended by itself wrote is read, as it always was; the row is
    // marked all the same when the tool failed.
    const QStringList& headers = results.headers();
    if (output) {
        errors.step([&] {
            const ToolOutputReading reading = readToolOutput(*output, headers);
            writeCells(file.row, reading.cells);
            for (const QString& description : reading.problems)
                errors.report(description);
        });
    }
    deleteFileForced(file.outputFile);
    file.outputFile.clear(); // nothing left for the end of its time in the run to remove
    if (!problem.isEmpty()) {
        ++summary.unreadFiles;
        errors.step([&] { file.row.markUnread(problem); });
    }
    errors.step([&] {
        const int column = base::columnIndexOf(headers, base::versionHeader);
        if (column <= 0)
            return;
        const base::Result<QString> version = readPdfVersion(file.path);
        if (version.ok())
            file.row.setCell(column, version.value());
        else if (problem.isEmpty()) // otherwise the row says why already, once
            throw base::RunTimeError(version.error());
    });
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

} // namespace

int RunOptions::defaultParallelTools() {
    return std::max(1, QThread::idealThreadCount());
}

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
    removeFileForced(path);
}

} // namespace extract
