// How the extraction run's files are read by tools: tools that serve one file after another
// (workers), or a process of the tool for each file.
#include "extract/RunWork.h"
#include "extract/ToolCommand.h"
#include "extract/ToolFeatures.h"
#include "extract/ToolOutput.h"
#include "platform/FileNames.h"
#include "platform/OpenFileLimit.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace extract {

namespace {

// Each tool at work holds three files open here at most (its error output, its end notice and,
// for a moment, its input; or a worker's two pipes and end notice); some are kept for the
// program itself.
constexpr long filesPerTool = 3;
constexpr long filesKept = 64;

// A start that fails for want of a resource the system gives back as other processes end
// (open files, processes, memory) is tried again rather than taken as a tool that cannot run;
// only after this long is that one file given up, never the run.
constexpr qint64 passingStartRetryMs = 30000;

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

} // namespace

int toolsAllowed(int asked) {
    const long allowed = std::max(1L, (platform::openFileLimit() - filesKept) / filesPerTool);
    return static_cast<int>(std::clamp<long>(asked, 1, allowed));
}

void ExtractionRun::Work::decideMode() {
    // One worker first: whether the tool serves decides how the run reads its files, and its
    // ready line names what else it can do.
    addWorker();
}

void ExtractionRun::Work::decided(Mode decidedMode, const QStringList& features) {
    mode = decidedMode;
    const ToolFeatures named = featuresNamed(features.join(QLatin1Char(',')).toLatin1());
    // Every page is read only when the pages' size is shown: telling whether it varies
    // costs more than all the rest in a long document.
    if (auditWanted && named.audit)
        audit = columns.contains(base::Property::PageSize) || !named.auditFirstPage
                    ? AuditAsked::EveryPage
                    : AuditAsked::FirstPage;
    if (auditWanted && audit == AuditAsked::No)
        summary.note = auditUnavailableNote(options.toolPath, columns);
}

bool ExtractionRun::Work::workLeft() const {
    if (state == State::Finished)
        return false;
    const bool filesLeft = !stopping && nextFile <= files.size();
    return filesLeft || std::any_of(inRun.begin(), inRun.end(),
                                    [](const auto& file) { return file->beingRead(); });
}

void ExtractionRun::Work::addWorker() {
    auto worker = std::make_unique<ToolWorker>(options.toolPath);
    ToolWorker* const added = worker.get();
    if (added->state() == ToolWorker::State::Gone) {
        // It could not be started at all: the tool is read a process per file, which says
        // why it cannot be started, for each file.
        if (mode == Mode::Deciding)
            mode = Mode::ProcessPerFile;
        return;
    }
    QObject::connect(added, &ToolWorker::ready, &run, [this, added] { onWorkerReady(added); });
    QObject::connect(added, &ToolWorker::answered, &run,
                     [this, added](const ServedAnswer& answer) { onAnswer(added, answer); });
    QObject::connect(added, &ToolWorker::gone, &run,
                     [this, added](const QString& reason) { onWorkerGone(added, reason); });
    workers.push_back(std::move(worker));
    tick.start();
}

void ExtractionRun::Work::onWorkerReady(ToolWorker* worker) {
    if (mode == Mode::Deciding && options.processPerFile) {
        decided(Mode::ProcessPerFile, worker->features());
        retire(worker);
    } else if (mode == Mode::Deciding) {
        // It serves: as many workers as tools are wanted.
        decided(Mode::Workers, worker->features());
        while (static_cast<int>(workers.size()) < tools)
            addWorker();
    }
    scheduleAdvance();
}

void ExtractionRun::Work::onAnswer(ToolWorker* worker, const ServedAnswer& answer) {
    for (const auto& file : inRun) {
        if (file->worker == worker && file->request == answer.id) {
            file->worker = nullptr;
            file->served = answer;
        } else if (file->worker == worker && file->queued) {
            // The tool has begun on the file it was asked next: its time runs from now.
            file->queued = false;
            file->reading.start();
        }
    }
    // A worker that has served its share, or grown large, makes room for a fresh one; one
    // that has grown first answers the file it has begun.
    if (worker->filesServed() >= options.filesPerWorker) {
        retire(worker);
    } else if (worker->residentBytes() > options.workerMemoryLimit) {
        worker->takeNoMore();
        if (worker->unanswered() == 0)
            retire(worker);
    }
    scheduleAdvance();
}

void ExtractionRun::Work::onWorkerGone(ToolWorker* worker, const QString& reason) {
    for (const auto& file : inRun) {
        if (file->worker == worker && !file->queued) {
            // Only the file it was reading is marked; those asked after it go to another.
            file->worker = nullptr;
            file->workerEnded = reason;
        }
    }
    if (mode == Mode::Deciding) {
        // It does not serve (pdftk-java): a process for each file, and none of what only a
        // serving tool of ours offers.
        decided(Mode::ProcessPerFile, {});
        retire(worker);
        scheduleAdvance();
        return;
    }
    retire(worker);
    scheduleAdvance();
}

void ExtractionRun::Work::askAgainElsewhere(ToolWorker* worker) {
    for (const auto& file : inRun) {
        if (file->worker != worker)
            continue;
        file->worker = nullptr;
        file->queued = false;
        file->readWith = file->password;
    }
}

void ExtractionRun::Work::retire(ToolWorker* worker) {
    const auto found = std::find_if(workers.begin(), workers.end(),
                                    [worker](const auto& kept) { return kept.get() == worker; });
    if (found == workers.end())
        return;
    askAgainElsewhere(worker);
    // It may be retired from within its own signal: it goes from the event loop.
    worker->stop();
    found->release()->deleteLater();
    workers.erase(found);
    if (mode == Mode::Workers && workLeft())
        addWorker();
}

ToolWorker* ExtractionRun::Work::workerWithRoom() const {
    ToolWorker* queueBehind = nullptr;
    for (const auto& worker : workers) {
        if (!worker->hasRoom())
            continue;
        if (worker->unanswered() == 0)
            return worker.get();
        // A file queued behind another must not take a worker past its share.
        if (!queueBehind && worker->filesServed() + worker->unanswered() < options.filesPerWorker)
            queueBehind = worker.get();
    }
    return queueBehind;
}

int ExtractionRun::Work::toolsAtWork() const {
    int working = 0;
    for (const auto& file : inRun)
        working += file->beingRead() && !file->readWith ? 1 : 0;
    return working;
}

bool ExtractionRun::Work::roomForAnotherRead() const {
    if (mode == Mode::Workers)
        return workerWithRoom() != nullptr;
    return toolsAtWork() < tools;
}

void ExtractionRun::Work::read(FileInRun& file, const QString& password) {
    file.forgetRead();
    file.password = password;
    file.readWith = password;
    file.tryingToStart.start();
    beginWaitingReads();
}

void ExtractionRun::Work::beginWaitingReads() {
    if (mode == Mode::Deciding || state == State::Finished)
        return;
    bool stillWaiting = false;
    for (const auto& file : inRun) {
        if (!file->readWith)
            continue;
        const QString password = *file->readWith;
        if (!toolUnusable.isEmpty()) {
            file->readWith.reset();
            file->problem = toolUnusable;
            continue;
        }
        // A missing file is left to the tool, which fails on it; one that exists but is no
        // regular file (a FIFO or device named like a PDF) could make it block.
        if (file->entry.found && !file->entry.isRegularFile()) {
            file->readWith.reset();
            file->problem = QStringLiteral("%1 is not a regular file.").arg(file->path);
            continue;
        }
        if (mode == Mode::Workers) {
            ToolWorker* worker = workerWithRoom();
            if (!worker) {
                stillWaiting = true;
                continue;
            }
            file->readWith.reset();
            file->worker = worker;
            file->request = ++lastRequest;
            file->queued = worker->unanswered() > 0;
            if (!file->queued)
                file->reading.start();
            worker->ask(file->request, file->path, password, audit);
            continue;
        }
        if (toolsAtWork() >= tools) {
            stillWaiting = true;
            continue;
        }
        if (tryToStartProcess(*file, password))
            file->readWith.reset();
        else
            stillWaiting = true;
    }
    if (stillWaiting && mode == Mode::ProcessPerFile)
        retry.start();
}

bool ExtractionRun::Work::tryToStartProcess(FileInRun& file, const QString& password) {
    // No stale output may pass for the tool's.
    removeFileForced(file.outputFile);
    const ToolCommand command =
        buildToolCommand(options.toolPath, file.path, password, file.outputFile, audit);
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
    file.reading.start();
    watch(file);
    return true;
}

void ExtractionRun::Work::watch(FileInRun& file) {
    FileInRun* const watched = &file;
    if (file.tool->endDescriptor() >= 0) {
        file.endWatch =
            std::make_unique<QSocketNotifier>(file.tool->endDescriptor(), QSocketNotifier::Read);
        QObject::connect(file.endWatch.get(), &QSocketNotifier::activated, &run,
                         [this, watched] { onProcessEvent(*watched); });
    }
    if (file.tool->errorDescriptor() >= 0) {
        // The error output is read as it comes, so that a tool that writes much is never
        // held up by a full pipe.
        file.errorWatch =
            std::make_unique<QSocketNotifier>(file.tool->errorDescriptor(), QSocketNotifier::Read);
        QObject::connect(file.errorWatch.get(), &QSocketNotifier::activated, &run,
                         [this, watched] { onProcessEvent(*watched); });
    }
    // Without an end notice, the tick looks for the end.
    if (file.tool->endDescriptor() < 0)
        tick.setInterval(1);
    tick.start();
}

void ExtractionRun::Work::onProcessEvent(FileInRun& file) {
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
    const qint64 limit = options.limits.toolLimit.count();
    for (const auto& file : inRun) {
        if (file->worker && !file->queued && file->reading.elapsed() > limit) {
            // A worker past the limit is killed and replaced; only its file is marked.
            ToolWorker* const stuck = file->worker;
            file->worker = nullptr;
            file->stoppedAtLimit = true;
            retire(stuck);
            ended = true;
            continue;
        }
        if (!file->tool || file->tool->endNoticed())
            continue;
        if (file->tool->endDescriptor() < 0)
            onProcessEvent(*file);
        if (!file->tool->endNoticed() && file->reading.elapsed() > limit) {
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
    if (inRun.empty() && state != State::Asking && workers.empty())
        tick.stop();
}

std::optional<QByteArray> ExtractionRun::Work::outputOf(FileInRun& file) {
    // Stopped mid-way, a tool may have left half an output: the row keeps what it has.
    if (file.stoppedAtLimit)
        return std::nullopt;
    if (file.served) {
        if (file.served->dump.isEmpty() && file.served->status != 0)
            return std::nullopt;
        return file.served->dump;
    }
    std::optional<QByteArray> output;
    if (!file.outputFile.isEmpty()) {
        errors.step([&] { output = toolOutputIn(file.outputFile); });
        removeFileForced(file.outputFile);
    }
    return output;
}

QString ExtractionRun::Work::problemOf(FileInRun& file, bool wroteOutput) const {
    if (!file.problem.isEmpty())
        return file.problem;
    if (file.stoppedAtLimit)
        return QStringLiteral("The tool was stopped after %1 seconds.")
            .arg(static_cast<double>(options.limits.toolLimit.count()) / 1000.0);
    if (!file.workerEnded.isEmpty())
        return QStringLiteral("The tool ended while it read the file: %1.").arg(file.workerEnded);
    if (file.served) {
        const QString said = firstErrorLine(file.served->errors);
        if (file.served->status != 0)
            return said.isEmpty() ? QStringLiteral("The tool ended with exit code %1.")
                                        .arg(file.served->status)
                                  : said;
        return {};
    }
    if (!file.tool)
        return QStringLiteral("The tool was not started.");
    const QString said = firstErrorLine(file.tool->errors());
    if (const int exitCode = file.tool->exitCode(); exitCode != 0)
        return said.isEmpty() ? QStringLiteral("The tool ended with exit code %1.").arg(exitCode)
                              : said;
    if (!wroteOutput)
        return said.isEmpty() ? QStringLiteral("The tool wrote no output.") : said;
    return {};
}

bool ExtractionRun::Work::toolSaysPasswordNeeded(const FileInRun& file) const {
    if (!file.problem.isEmpty() || file.stoppedAtLimit || !file.workerEnded.isEmpty())
        return false;
    // The whole error output: some tools say it on a later line ("OWNER OR USER PASSWORD
    // REQUIRED") after a first that says only that the file could not be opened.
    const auto says = [](const QByteArray& errorOutput) {
        return QString::fromUtf8(errorOutput)
            .contains(QLatin1String("password"), Qt::CaseInsensitive);
    };
    if (file.served)
        return file.served->status != 0 && says(file.served->errors);
    return file.tool && file.tool->endNoticed() && file.tool->exitCode() != 0 &&
           says(file.tool->errors());
}

QString ExtractionRun::Work::outputFileFor(int number) const {
    return tools == 1 ? options.temporaryFolder + QStringLiteral("/result.txt")
                      : options.temporaryFolder + QStringLiteral("/result-%1.txt").arg(number);
}

} // namespace extract
