#include "extract/ExtractionRun.h"

#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "extract/FileDates.h"
#include "extract/PdfVersion.h"
#include "extract/ToolCommand.h"
#include "extract/ToolOutput.h"
#include "extract/ToolProcess.h"
#include "extract/WaitingProgress.h"
#include "platform/FileEntry.h"
#include "platform/FileNames.h"
#include "platform/OpenFileLimit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace extract {

namespace {

// How many files beyond the tools at work may wait, read, for their rows to be reported: a
// slow file then holds up the rows after it, not the tools.
constexpr int filesAheadPerTool = 8;

// Each tool at work holds three files open here at most (its error output, its end notice and,
// for a moment, its input); some are kept for the program itself.
constexpr long filesPerTool = 3;
constexpr long filesKept = 64;

// A start that fails for want of a resource the system gives back as other processes end
// (open files, processes, memory) is tried again rather than taken as a tool that cannot run;
// only after this long is that one file given up, never the run.
constexpr qint64 passingStartRetryMs = 30000;
constexpr int retryIntervalMs = 20;

// Rows reported in one turn of the event loop, at most: the window repaints and answers
// between turns even when a great many small files are read at once.
constexpr qint64 turnMs = 10;

// As many tools as asked for, but no more than the open-file limit lets work at once.
int toolsAllowed(int asked) {
    const long allowed = std::max(1L, (platform::openFileLimit() - filesKept) / filesPerTool);
    return static_cast<int>(std::clamp<long>(asked, 1, allowed));
}

bool isPassingStartError(int error) {
    return error == EMFILE || error == ENFILE || error == EAGAIN || error == ENOMEM;
}

// What the tool wrote to path; nothing when it wrote no file there.
std::optional<QByteArray> toolOutputIn(const QString& path) {
    const int descriptor = ::open(platform::encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
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

// Deletes a file whatever its permissions, ignoring every error.
void removeFileForced(const QString& path) {
    const QByteArray encoded = platform::encodeFileName(path);
    if (::unlink(encoded.constData()) == 0 || errno == ENOENT)
        return;
    // A file that is read-only to us: make it writable and try again.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    ::unlink(encoded.constData());
}

// Progress that the run tells its observers about.
class ReportedProgress final : public base::Progress {
public:
    explicit ReportedProgress(ExtractionRun& reportedBy) : run(reportedBy) {}
    void setValue(int value) override {
        shownValue = value;
        emit run.progress(shownValue, shownText);
    }
    int value() const override { return shownValue; }
    void setText(const QString& text) override {
        shownText = text;
        emit run.progress(shownValue, shownText);
    }
    QString text() const override { return shownText; }
    void show(int value, const QString& text) {
        shownValue = value;
        shownText = text;
        emit run.progress(shownValue, shownText);
    }

private:
    ExtractionRun& run;
    int shownValue = 0;
    QString shownText;
};

// A file of the run from the moment its entry is looked up until its row is reported.
// Should the run end early, its tool is stopped and its output goes with it.
struct FileInRun {
    ~FileInRun() {
        endWatch.reset();
        errorWatch.reset();
        tool.reset();
        if (!outputFile.isEmpty())
            ::unlink(platform::encodeFileName(outputFile).constData());
    }

    int number = 0; // from 1, in list order
    QString path;
    // Looked up before the tool opens the file: reading it may change the date it was last
    // read, and the row shows the dates from before the run.
    platform::FileEntry entry;
    QString outputFile;
    std::unique_ptr<ToolProcess> tool; // none when it was not started
    std::unique_ptr<QSocketNotifier> endWatch;
    std::unique_ptr<QSocketNotifier> errorWatch;
    QElapsedTimer toolStarted;
    bool stoppedAtLimit = false;
    QString problem; // why it cannot be read, known before the tool ends
    // A start that failed for want of a resource, to be tried again with this password.
    std::optional<QString> startAgainWith;
    QElapsedTimer tryingToStart;

    bool toolAtWork() const { return startAgainWith || (tool && !tool->endNoticed()); }
};

} // namespace

class ExtractionRun::Work {
public:
    Work(ExtractionRun& owner, QStringList list, base::Columns wanted, RunOptions runOptions,
         base::ErrorReport report)
        : run(owner), files(std::move(list)), columns(std::move(wanted)),
          options(std::move(runOptions)), errors(std::move(report)), shown(owner),
          tools(toolsAllowed(options.parallelTools)) {
        tick.setInterval(static_cast<int>(std::max<qint64>(1, options.limits.pass.count())));
        QObject::connect(&tick, &QTimer::timeout, &run, [this] { onTick(); });
        retry.setSingleShot(true);
        retry.setInterval(retryIntervalMs);
        QObject::connect(&retry, &QTimer::timeout, &run, [this] { startAgain(); });
    }

    enum class State { NotStarted, Running, Asking, Finished };

    void start();
    void answer(const platform::PasswordAnswer& answer);
    void stop();
    void abort();

    ExtractionRun& run;
    const QStringList files;
    const base::Columns columns;
    const RunOptions options;
    const base::ErrorReport errors;
    State state = State::NotStarted;

private:
    // Reports the rows whose files are done, starts the next files, and finishes when all
    // is done; called from the event loop whenever something has happened.
    void advance();
    void scheduleAdvance();
    void startMoreFiles();
    int toolsAtWork() const;
    // Starts the file's tool, or notes why it cannot be.
    void startTool(FileInRun& file, const QString& password);
    // One try to start the tool; false when it failed for want of a resource.
    bool tryToStart(FileInRun& file, const QString& password);
    void startAgain();
    void watch(FileInRun& file);
    void onToolEvent(FileInRun& file);
    void onTick();
    void continueAfterAnswer();
    // The row of a file whose tool has ended (or never started).
    base::ResultRowData rowOf(FileInRun& file);
    QString problemOf(FileInRun& file, bool wroteOutput) const;
    int valueFor(const FileInRun& file) const;
    void showProgressFor(const FileInRun& file);
    void followTheFront();
    void finish();
    QString outputFileFor(int number) const;

    ReportedProgress shown;
    const int tools;
    int nextFile = 1; // the next to start on, from 1
    bool stopping = false;
    bool advanceScheduled = false;
    std::deque<std::unique_ptr<FileInRun>> inRun; // in list order
    // The file whose password is asked, the answer when it has come, and since when.
    std::unique_ptr<FileInRun> asked;
    std::optional<platform::PasswordAnswer> answered;
    QElapsedTimer askedSince;
    // The answer the user gave for all remaining files of this run; it lives no longer.
    std::optional<QString> passwordForAll;
    // Why the tool cannot be started, once it has failed to: it is not tried again.
    QString toolUnusable;
    // The wait for the first file of those in the run, and which one it is.
    std::unique_ptr<WaitingProgress> waiting;
    int waitingFor = 0;
    QTimer tick;
    QTimer retry;
    RunSummary summary;
};

void ExtractionRun::Work::start() {
    if (state != State::NotStarted)
        return;
    state = State::Running;
    scheduleAdvance();
}

void ExtractionRun::Work::scheduleAdvance() {
    if (advanceScheduled || state == State::Finished)
        return;
    advanceScheduled = true;
    QMetaObject::invokeMethod(
        &run,
        [this] {
            advanceScheduled = false;
            advance();
        },
        Qt::QueuedConnection);
}

void ExtractionRun::Work::advance() {
    if (state == State::Finished)
        return;
    // A tool that ended leaves a processor free: the next one starts before rows are made.
    startMoreFiles();
    QElapsedTimer turn;
    turn.start();
    while (!inRun.empty() && !inRun.front()->toolAtWork()) {
        const std::unique_ptr<FileInRun> file = std::move(inRun.front());
        inRun.pop_front();
        if (waiting && waitingFor == file->number) {
            waiting->restoreCaption();
            waiting.reset();
        }
        const base::ResultRowData row = rowOf(*file);
        ++summary.rows;
        summary.unreadFiles += row.unreadReason.isEmpty() ? 0 : 1;
        emit run.rowReady(row);
        if (state == State::Finished) // an observer ended the run
            return;
        // While a password is asked, progress keeps naming the file it is asked for.
        if (!inRun.empty() && state != State::Asking)
            showProgressFor(*inRun.front());
        if (turn.elapsed() > turnMs) {
            scheduleAdvance();
            break;
        }
    }
    startMoreFiles();
    followTheFront();
    // A file just started whose tool never ran (it could not) is ready at once: no event
    // of its tool will say so.
    if (!inRun.empty() && !inRun.front()->toolAtWork())
        scheduleAdvance();
    const bool nothingLeft = nextFile > files.size() || stopping;
    if (inRun.empty() && state == State::Running && nothingLeft)
        finish();
}

int ExtractionRun::Work::toolsAtWork() const {
    int working = 0;
    for (const auto& file : inRun)
        working += file->toolAtWork() ? 1 : 0;
    return working;
}

void ExtractionRun::Work::startMoreFiles() {
    const auto ahead = static_cast<std::size_t>(tools == 1 ? 1 : tools * filesAheadPerTool);
    while (state == State::Running && !stopping && nextFile <= files.size() &&
           toolsAtWork() < tools && inRun.size() < ahead) {
        auto file = std::make_unique<FileInRun>();
        file->number = nextFile++;
        file->path = files[file->number - 1];
        file->outputFile = outputFileFor(file->number);
        if (inRun.empty())
            showProgressFor(*file);
        errors.step([&] { file->entry = platform::lookUpFile(file->path); });
        bool asks = false;
        errors.step([&] { asks = !passwordForAll && options.askForPasswords(); });
        if (asks) {
            // The question names its file, and the run waits for the answer; tools already
            // at work go on meanwhile.
            state = State::Asking;
            showProgressFor(*file);
            asked = std::move(file);
            askedSince.start();
            tick.start();
            emit run.passwordNeeded(asked->path, passwordPrompt(asked->path));
            return;
        }
        // Nothing to ask: the tool starts at once, on the processor that the tool before it
        // has just freed.
        startTool(*file, passwordForAll.value_or(QString()));
        inRun.push_back(std::move(file));
    }
}

void ExtractionRun::Work::answer(const platform::PasswordAnswer& given) {
    if (state != State::Asking || answered)
        return;
    answered = given;
    // Taken up from the event loop: the observer that answers may do so from within the
    // question's signal.
    QMetaObject::invokeMethod(
        &run, [this] { continueAfterAnswer(); }, Qt::QueuedConnection);
}

void ExtractionRun::Work::continueAfterAnswer() {
    if (state != State::Asking || !answered)
        return;
    const platform::PasswordAnswer given = *std::exchange(answered, std::nullopt);
    state = State::Running;
    // The time the question was open is no tool's.
    if (waiting)
        waiting->leaveOut(askedSince.elapsed());
    std::unique_ptr<FileInRun> file = std::move(asked);
    if (given.choice == platform::PasswordAnswer::Choice::Stop) {
        // The file asked about gets no row; the run ends as if the list ended there.
        stopping = true;
        summary.stopped = true;
    } else {
        // Cancel means no password, for this file or, ticked, for all the rest.
        const QString password =
            given.choice == platform::PasswordAnswer::Choice::Ok ? given.password : QString();
        if (given.forAllRemaining)
            passwordForAll = password;
        startTool(*file, password);
        inRun.push_back(std::move(file));
    }
    if (!inRun.empty())
        showProgressFor(*inRun.front());
    scheduleAdvance();
}

void ExtractionRun::Work::startTool(FileInRun& file, const QString& password) {
    // No stale output may pass for the tool's.
    removeFileForced(file.outputFile);
    errors.step([&] {
        if (!toolUnusable.isEmpty()) {
            file.problem = toolUnusable;
            return;
        }
        // A missing file is left to the tool, which fails on it; one that exists but is no
        // regular file (a FIFO or device named like a PDF) could make it block.
        if (file.entry.found && !file.entry.isRegularFile()) {
            file.problem = QStringLiteral("%1 is not a regular file.").arg(file.path);
            return;
        }
        file.tryingToStart.start();
        if (!tryToStart(file, password)) {
            file.startAgainWith = password;
            retry.start();
        }
    });
}

bool ExtractionRun::Work::tryToStart(FileInRun& file, const QString& password) {
    const ToolCommand command =
        buildToolCommand(options.toolPath, file.path, password, file.outputFile);
    auto started = std::make_unique<ToolProcess>(command);
    const int error = started->startError();
    if (!started->wasStarted() && isPassingStartError(error)) {
        if (file.tryingToStart.elapsed() <= passingStartRetryMs)
            return false;
        file.problem = QStringLiteral("The tool could not be started for %1 seconds: %2.")
                           .arg(passingStartRetryMs / 1000)
                           .arg(QString::fromLocal8Bit(std::strerror(error)));
        return true;
    }
    if (!started->wasStarted()) {
        // Said once: every other file would fail the same way.
        toolUnusable = QStringLiteral("The tool %1 cannot be started: %2.")
                           .arg(command.program, QString::fromLocal8Bit(std::strerror(error)));
        file.problem = toolUnusable;
        errors.report(toolUnusable);
        return true;
    }
    file.tool = std::move(started);
    file.toolStarted.start();
    watch(file);
    return true;
}

void ExtractionRun::Work::startAgain() {
    bool stillWaiting = false;
    for (const auto& file : inRun) {
        if (!file->startAgainWith)
            continue;
        if (tryToStart(*file, *file->startAgainWith))
            file->startAgainWith.reset();
        else
            stillWaiting = true;
    }
    if (stillWaiting)
        retry.start();
    scheduleAdvance();
}

void ExtractionRun::Work::watch(FileInRun& file) {
    FileInRun* const watched = &file;
    if (file.tool->endDescriptor() >= 0) {
        file.endWatch =
            std::make_unique<QSocketNotifier>(file.tool->endDescriptor(), QSocketNotifier::Read);
        QObject::connect(file.endWatch.get(), &QSocketNotifier::activated, &run,
                         [this, watched] { onToolEvent(*watched); });
    }
    if (file.tool->errorDescriptor() >= 0) {
        // The error output is read as it comes, so that a tool that writes much is never
        // held up by a full pipe.
        file.errorWatch =
            std::make_unique<QSocketNotifier>(file.tool->errorDescriptor(), QSocketNotifier::Read);
        QObject::connect(file.errorWatch.get(), &QSocketNotifier::activated, &run,
                         [this, watched] { onToolEvent(*watched); });
    }
    // Without an end notice, the tick looks for the end.
    if (file.tool->endDescriptor() < 0)
        tick.setInterval(1);
    tick.start();
}

void ExtractionRun::Work::onToolEvent(FileInRun& file) {
    if (!file.tool)
        return;
    file.tool->collectErrorOutput();
    if (file.errorWatch && file.tool->errorOutputHasEnded())
        file.errorWatch->setEnabled(false);
    if (file.tool->checkForEnd()) {
        if (file.endWatch)
            file.endWatch->setEnabled(false);
        if (file.errorWatch)
            file.errorWatch->setEnabled(false);
        scheduleAdvance();
    }
}

void ExtractionRun::Work::onTick() {
    bool ended = false;
    for (const auto& file : inRun) {
        if (!file->tool || file->tool->endNoticed())
            continue;
        if (file->tool->endDescriptor() < 0)
            onToolEvent(*file);
        if (!file->tool->endNoticed() &&
            file->toolStarted.elapsed() > options.limits.toolLimit.count()) {
            file->tool->stop();
            file->stoppedAtLimit = true;
            if (file->endWatch)
                file->endWatch->setEnabled(false);
            if (file->errorWatch)
                file->errorWatch->setEnabled(false);
        }
        ended = ended || file->tool->endNoticed();
    }
    if (waiting && state != State::Asking)
        waiting->update();
    if (ended)
        scheduleAdvance();
    if (inRun.empty() && state != State::Asking)
        tick.stop();
}

void ExtractionRun::Work::followTheFront() {
    // The progress waits for the first file in the run, as long as its tool works.
    const FileInRun* front = inRun.empty() ? nullptr : inRun.front().get();
    if (!front || !front->toolAtWork()) {
        waiting.reset();
        return;
    }
    if (waiting && waitingFor == front->number)
        return;
    waitingFor = front->number;
    waiting = std::make_unique<WaitingProgress>(
        shown, QStringLiteral("Processing: ") + base::fileNameOf(front->path), valueFor(*front),
        static_cast<int>(files.size()), options.limits.pass);
}

int ExtractionRun::Work::valueFor(const FileInRun& file) const {
    // The share done once this file is finished.
    return file.number * 100 / static_cast<int>(files.size());
}

void ExtractionRun::Work::showProgressFor(const FileInRun& file) {
    shown.show(valueFor(file), QStringLiteral("Processing: ") + base::fileNameOf(file.path));
}

QString ExtractionRun::Work::outputFileFor(int number) const {
    return tools == 1 ? options.temporaryFolder + QStringLiteral("/result.txt")
                      : options.temporaryFolder + QStringLiteral("/result-%1.txt").arg(number);
}

QString ExtractionRun::Work::problemOf(FileInRun& file, bool wroteOutput) const {
    if (!file.problem.isEmpty())
        return file.problem;
    if (!file.tool)
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

base::ResultRowData ExtractionRun::Work::rowOf(FileInRun& file) {
    base::ResultRowData row;
    row.path = file.path;
    const auto columnOf = [&](base::Property property) {
        const qsizetype position = columns.indexOf(property);
        return position < 0 ? 0 : static_cast<int>(position) + 1;
    };
    // The file system's dates first; a document's own dates take their place.
    errors.step([&] {
        const FileDates dates = fileDatesOf(file.entry);
        const std::pair<base::Property, const std::optional<base::DateTimeValue>&> fromFile[] = {
            {base::Property::Modified, dates.modified},
            {base::Property::Created, dates.created},
            {base::Property::Accessed, dates.accessed}};
        for (const auto& [property, moment] : fromFile)
            if (const int column = columnOf(property); column > 0 && moment)
                row.cells.setCell(column, base::CellValue::dateTime(*moment));
    });
    // Stopped mid-way, a tool may have left half an output: the row keeps what it has.
    std::optional<QByteArray> output;
    if (!file.stoppedAtLimit)
        errors.step([&] { output = toolOutputIn(file.outputFile); });
    QString problem;
    errors.step([&] { problem = problemOf(file, output.has_value()); });
    // Whatever a tool that ended by itself wrote is read; the row is marked all the same when
    // the tool failed.
    if (output) {
        errors.step([&] {
            const ToolOutputReading reading = readToolOutput(*output, columns);
            for (const PropertyValue& value : reading.values)
                row.cells.setCell(columnOf(value.property), value.value);
            for (const QString& description : reading.problems)
                errors.report(description);
        });
    }
    removeFileForced(file.outputFile);
    file.outputFile.clear(); // nothing left for the end of its time in the run to remove
    row.unreadReason = problem;
    errors.step([&] {
        const int column = columnOf(base::Property::Version);
        if (column <= 0)
            return;
        const base::Result<QString> version = readPdfVersion(file.path);
        if (version.ok())
            row.cells.setCell(column, version.value());
        else if (problem.isEmpty()) // otherwise the row says why already, once
            throw base::RunTimeError(version.error());
    });
    return row;
}

void ExtractionRun::Work::stop() {
    if (state == State::Finished || state == State::NotStarted)
        return;
    stopping = true;
    summary.stopped = summary.stopped || nextFile <= files.size() || asked;
    if (state == State::Asking) {
        asked.reset();
        answered.reset();
        state = State::Running;
    }
    scheduleAdvance();
}

void ExtractionRun::Work::finish() {
    state = State::Finished;
    tick.stop();
    retry.stop();
    passwordForAll.reset();
    emit run.finished(summary);
}

void ExtractionRun::Work::abort() {
    state = State::Finished;
    tick.stop();
    retry.stop();
    waiting.reset();
    asked.reset();
    inRun.clear(); // every tool killed, every output removed
}

ExtractionRun::ExtractionRun(QStringList files, base::Columns columns, RunOptions options,
                             base::ErrorReport errors, QObject* parent)
    : QObject(parent), work(std::make_unique<Work>(*this, std::move(files), std::move(columns),
                                                   std::move(options), std::move(errors))) {}

ExtractionRun::~ExtractionRun() {
    work->abort();
}

void ExtractionRun::start() {
    work->start();
}

void ExtractionRun::answerPassword(const platform::PasswordAnswer& answer) {
    work->answer(answer);
}

void ExtractionRun::stop() {
    work->stop();
}

void ExtractionRun::abort() {
    work->abort();
}

const base::Columns& ExtractionRun::columns() const {
    return work->columns;
}

int ExtractionRun::fileCount() const {
    return static_cast<int>(work->files.size());
}

bool ExtractionRun::isFinished() const {
    return work->state == Work::State::Finished;
}

int RunOptions::defaultParallelTools() {
    return std::max(1, QThread::idealThreadCount());
}

QString unreadFilesLine(int unreadFiles) {
    if (unreadFiles == 0)
        return {};
    return unreadFiles == 1 ? QStringLiteral("\r\n1 file could not be read.")
                            : QStringLiteral("\r\n%1 files could not be read.").arg(unreadFiles);
}

QString passwordPrompt(const QString& path) {
    return QStringLiteral("Enter password for file (") + path +
           QStringLiteral("): \r\nNote: Leave this box blank if file is not password protected");
}

} // namespace extract
