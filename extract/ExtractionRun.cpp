#include "extract/ExtractionRun.h"

#include "base/PathHelpers.h"
#include "extract/FileDates.h"
#include "extract/FileFacts.h"
#include "extract/PdfVersion.h"
#include "extract/RunWork.h"
#include "extract/ToolFeatures.h"
#include "extract/ToolOutput.h"
#include "platform/FileNames.h"

#include <QThread>

#include <algorithm>
#include <unistd.h>

namespace extract {

namespace {

// Rows reported in one turn of the event loop, at most: the window repaints and answers
// between turns even when a great many small files are read at once.
constexpr qint64 turnMs = 10;

// The time left is told once the run has gone this long, over this many rows.
constexpr qint64 estimateAfterMs = 1000;
constexpr int estimateAfterRows = 3;

QString timeLeftText(qint64 milliseconds) {
    const qint64 seconds = (milliseconds + 999) / 1000;
    if (seconds < 90)
        return QStringLiteral("about %1 s left").arg(std::max<qint64>(seconds, 1));
    return QStringLiteral("about %1 min left").arg((seconds + 30) / 60);
}

} // namespace

void ReportedProgress::setValue(int value) {
    shownValue = value;
    emit run.progress(shownValue, shownText);
}

void ReportedProgress::setText(const QString& text) {
    shownText = text;
    emit run.progress(shownValue, shownText);
}

void ReportedProgress::show(int value, const QString& text) {
    shownValue = value;
    shownText = text;
    emit run.progress(shownValue, shownText);
}

FileInRun::~FileInRun() {
    endWatch.reset();
    errorWatch.reset();
    tool.reset();
    if (!outputFile.isEmpty())
        ::unlink(platform::encodeFileName(outputFile).constData());
}

void FileInRun::forgetRead() {
    endWatch.reset();
    errorWatch.reset();
    tool.reset();
    served.reset();
    queued = false;
    workerEnded.clear();
    stoppedAtLimit = false;
    problem.clear();
}

ExtractionRun::Work::Work(ExtractionRun& owner, QStringList list, base::Columns wanted,
                          RunOptions runOptions, base::ErrorReport report)
    : run(owner), files(std::move(list)), columns(std::move(wanted)),
      options(std::move(runOptions)), errors(std::move(report)), shown(owner),
      tools(toolsAllowed(options.parallelTools)), auditWanted(wantsAudit(columns)) {
    tick.setInterval(static_cast<int>(std::max<qint64>(1, options.limits.pass.count())));
    QObject::connect(&tick, &QTimer::timeout, &run, [this] { onTick(); });
    retry.setSingleShot(true);
    retry.setInterval(retryIntervalMs);
    QObject::connect(&retry, &QTimer::timeout, &run, [this] {
        beginWaitingReads();
        scheduleAdvance();
    });
}

void ExtractionRun::Work::start() {
    if (state != State::NotStarted)
        return;
    state = State::Running;
    runClock.start();
    decideMode();
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
    while (!inRun.empty() && state == State::Running && !inRun.front()->beingRead()) {
        FileInRun& file = *inRun.front();
        const std::optional<QByteArray> output = outputOf(file);
        const QString problem = problemOf(file, output.has_value());
        // A document that needs a password, when passwords are asked: the question is asked
        // now that its row is next, so questions come in list order.
        if (!problem.isEmpty() && holdForPassword(file))
            break;
        const std::unique_ptr<FileInRun> done = std::move(inRun.front());
        inRun.pop_front();
        if (waiting && waitingFor == done->number) {
            waiting->restoreCaption();
            waiting.reset();
        }
        const base::ResultRowData row = rowOf(*done, problem, output);
        ++summary.rows;
        summary.unreadFiles += row.unreadReason.isEmpty() ? 0 : 1;
        emit run.rowReady(row);
        if (state == State::Finished) // an observer ended the run
            return;
        if (!inRun.empty())
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
    if (state == State::Running && !inRun.empty() && !inRun.front()->beingRead())
        scheduleAdvance();
    const bool nothingLeft = nextFile > files.size() || stopping;
    if (inRun.empty() && state == State::Running && nothingLeft)
        finish();
}

void ExtractionRun::Work::startMoreFiles() {
    if (mode == Mode::Deciding || state == State::Finished)
        return;
    beginWaitingReads();
    // One tool that reads a process per file writes to one output file: one file at a time.
    const bool oneOutputFile = mode == Mode::ProcessPerFile && tools == 1;
    const auto ahead = static_cast<std::size_t>(oneOutputFile ? 1 : tools * filesAheadPerTool);
    while (!stopping && nextFile <= files.size() && roomForAnotherRead() && inRun.size() < ahead) {
        auto file = std::make_unique<FileInRun>();
        file->number = nextFile++;
        file->path = files[file->number - 1];
        if (mode == Mode::ProcessPerFile) // workers answer through their pipes
            file->outputFile = outputFileFor(file->number);
        if (inRun.empty() && state != State::Asking)
            showProgressFor(*file);
        errors.step([&] { file->entry = platform::lookUpFile(file->path); });
        // Every file is first read without a password; one that needs a password gets it
        // when its row is next (holdForPassword).
        FileInRun& started = *file;
        inRun.push_back(std::move(file));
        read(started, QString());
    }
}

bool ExtractionRun::Work::holdForPassword(FileInRun& file) {
    if (stopping || !toolSaysPasswordNeeded(file))
        return false;
    // The answer given for all remaining files is tried once, without asking; an empty one
    // (Cancel) leaves them unread.
    if (passwordForAll && !file.passwordForAll) {
        file.passwordForAll = true;
        if (passwordForAll->isEmpty() || file.asked > 0)
            return false;
        read(file, *passwordForAll);
        return true;
    }
    // Asked when the file needs one, and once more when the one given was wrong.
    if (file.passwordForAll || file.asked >= 2)
        return false;
    bool asks = false;
    errors.step([&] { asks = options.askForPasswords(); });
    if (asks)
        askPassword(file);
    return asks;
}

void ExtractionRun::Work::askPassword(FileInRun& file) {
    state = State::Asking;
    ++file.asked;
    showProgressFor(file);
    askedSince.start();
    emit run.passwordNeeded(file.path, passwordPrompt(file.path, file.asked > 1));
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
    if (state != State::Asking || !answered || inRun.empty())
        return;
    const platform::PasswordAnswer given = *std::exchange(answered, std::nullopt);
    state = State::Running;
    // The time the question was open is no tool's.
    if (waiting)
        waiting->leaveOut(askedSince.elapsed());
    FileInRun& file = *inRun.front();
    if (given.choice == platform::PasswordAnswer::Choice::Stop) {
        // The file asked about gets no row; the run ends as if the list ended there.
        stopping = true;
        summary.stopped = true;
        inRun.clear();
    } else if (given.choice == platform::PasswordAnswer::Choice::Ok && !given.password.isEmpty()) {
        if (given.forAllRemaining)
            passwordForAll = given.password;
        read(file, given.password);
    } else {
        // Cancel, or nothing typed: the file keeps the reason it could not be read, and, ticked,
        // so do the rest.
        if (given.forAllRemaining)
            passwordForAll = QString();
        file.asked = 2;
        file.passwordForAll = given.forAllRemaining;
    }
    if (!inRun.empty())
        showProgressFor(*inRun.front());
    scheduleAdvance();
}

QString ExtractionRun::Work::caption(const FileInRun& file) const {
    QString text = QStringLiteral("Processing %1 of %2: %3")
                       .arg(file.number)
                       .arg(files.size())
                       .arg(base::fileNameOf(file.path));
    const qint64 elapsed = runClock.isValid() ? runClock.elapsed() : 0;
    if (summary.rows >= estimateAfterRows && elapsed >= estimateAfterMs) {
        const qint64 left = elapsed * (files.size() - summary.rows) / summary.rows;
        text += QStringLiteral(", ") + timeLeftText(left);
    }
    return text;
}

int ExtractionRun::Work::valueFor(const FileInRun& file) const {
    // The share done once this file is finished.
    return file.number * 100 / static_cast<int>(files.size());
}

void ExtractionRun::Work::showProgressFor(const FileInRun& file) {
    shown.show(valueFor(file), caption(file));
}

void ExtractionRun::Work::followTheFront() {
    // The progress waits for the first file in the run, as long as its tool works.
    const FileInRun* front = inRun.empty() ? nullptr : inRun.front().get();
    if (!front || !front->beingRead()) {
        waiting.reset();
        return;
    }
    if (waiting && waitingFor == front->number)
        return;
    waitingFor = front->number;
    waiting =
        std::make_unique<WaitingProgress>(shown, caption(*front), valueFor(*front),
                                          static_cast<int>(files.size()), options.limits.pass);
}

base::ResultRowData ExtractionRun::Work::rowOf(FileInRun& file, const QString& problem,
                                               const std::optional<QByteArray>& output) {
    base::ResultRowData row;
    row.path = file.path;
    // The values by column, from column 1; the row is made of them once at the end.
    QList<base::CellValue> values(columns.size());
    const auto setValue = [&](base::Property property, const base::CellValue& value) {
        if (const qsizetype position = columns.indexOf(property); position >= 0)
            values[position] = value;
    };
    // The file system's dates first; a document's own dates take their place.
    errors.step([&] {
        const FileDates dates = fileDatesOf(file.entry);
        const std::pair<base::Property, const std::optional<base::DateTimeValue>&> fromFile[] = {
            {base::Property::Modified, dates.modified},
            {base::Property::Created, dates.created},
            {base::Property::Accessed, dates.accessed}};
        for (const auto& [property, moment] : fromFile)
            if (moment)
                setValue(property, base::CellValue::dateTime(*moment));
        for (const PropertyValue& value : fileEntryValues(file.entry, columns))
            setValue(value.property, value.value);
    });
    // Whatever a tool that ended by itself wrote is read; the row is marked all the same when
    // the tool failed.
    if (output) {
        errors.step([&] {
            const ToolOutputReading reading = readToolOutput(*output, columns);
            for (const PropertyValue& value : reading.values)
                setValue(value.property, value.value);
            for (const QString& description : reading.problems)
                errors.report(description);
        });
    }
    row.unreadReason = problem;
    errors.step([&] {
        if (!columns.contains(base::Property::Version))
            return;
        const base::Result<QString> version = readPdfVersion(file.path);
        if (version.ok())
            setValue(base::Property::Version, version.value());
        else if (problem.isEmpty()) // otherwise the row says why already, once
            throw base::RunTimeError(version.error());
    });
    row.cells = base::CompactRow::ofValues(values);
    return row;
}

void ExtractionRun::Work::stop() {
    if (state == State::Finished || state == State::NotStarted)
        return;
    // The rows reported stay; the files being read, and a question open, are let go.
    stopping = true;
    summary.stopped = summary.stopped || nextFile <= files.size() || !inRun.empty();
    answered.reset();
    state = State::Running;
    inRun.clear();
    waiting.reset();
    scheduleAdvance();
}

void ExtractionRun::Work::finish() {
    state = State::Finished;
    tick.stop();
    retry.stop();
    workers.clear();
    passwordForAll.reset();
    emit run.finished(summary);
}

void ExtractionRun::Work::abort() {
    state = State::Finished;
    tick.stop();
    retry.stop();
    waiting.reset();
    inRun.clear(); // every tool killed, every output removed
    workers.clear();
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

QString passwordPrompt(const QString& path, bool again) {
    return (again ? QStringLiteral("Wrong password.\r\n") : QString()) +
           QStringLiteral("Enter password for file (") + path +
           QStringLiteral("): \r\nNote: Leave this box blank if file is not password protected");
}

} // namespace extract
