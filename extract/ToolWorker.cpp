#include "extract/ToolWorker.h"

#include "extract/ToolCommand.h"
#include "extract/ToolSpawn.h"
#include "platform/FileNames.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace extract {

namespace {

// Why a tool that ended did: its exit status or the signal that ended it.
QString endReason(const siginfo_t& info) {
    if (info.si_code == CLD_EXITED)
        return QStringLiteral("it ended with exit code %1").arg(info.si_status);
    return QStringLiteral("it was ended by signal %1 (%2)")
        .arg(info.si_status)
        .arg(QString::fromLocal8Bit(::strsignal(info.si_status)));
}

} // namespace

ToolWorker::ToolWorker(const QString& program, QObject* parent) : QObject(parent) {
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0 || !makePipe(output)) {
        spawnError = errno;
        closeIfOpen(input[0]), closeIfOpen(input[1]), closeIfOpen(output[0]),
            closeIfOpen(output[1]);
        currentState = State::Gone;
        return;
    }
    const SpawnedTool spawned =
        spawnTool(program, {QStringLiteral("--serve")}, input[0], output[1], -1);
    ::close(input[0]);
    ::close(output[1]);
    spawnError = spawned.error;
    toTool = input[1];
    fromTool = output[0];
    if (spawned.pid < 0) {
        closeDescriptors();
        currentState = State::Gone;
        return;
    }
    pid = spawned.pid;
    endNotice = spawned.endNotice;
    memoryFile = ::open(QStringLiteral("/proc/%1/statm").arg(pid).toLatin1().constData(),
                        O_RDONLY | O_CLOEXEC);
    ::fcntl(fromTool, F_SETFL, O_NONBLOCK);
    readable = std::make_unique<QSocketNotifier>(fromTool, QSocketNotifier::Read);
    connect(readable.get(), &QSocketNotifier::activated, this, [this] { readAnswers(); });
    writable = std::make_unique<QSocketNotifier>(toTool, QSocketNotifier::Write);
    writable->setEnabled(false);
    connect(writable.get(), &QSocketNotifier::activated, this, [this] { writePending(); });
    if (endNotice >= 0) {
        ended = std::make_unique<QSocketNotifier>(endNotice, QSocketNotifier::Read);
        connect(ended.get(), &QSocketNotifier::activated, this, [this] { toolEnded(); });
    }
}

ToolWorker::~ToolWorker() {
    stop();
}

void ToolWorker::ask(quint64 id, const QString& path, const QString& password, AuditAsked audit) {
    if (!hasRoom())
        return;
    asked.push_back(id);
    currentState = State::Busy;
    pending += requestFrame(id, platform::encodeFileName(path), password.toUtf8(),
                            dumpWords(audit).join(QLatin1Char(',')).toLatin1());
    writePending();
}

void ToolWorker::writePending() {
    while (!pending.isEmpty() && currentState != State::Gone) {
        const qsizetype written =
            ::send(toTool, pending.constData(), static_cast<size_t>(pending.size()),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            pending.remove(0, written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            writable->setEnabled(true); // the rest when the pipe has room
            return;
        }
        // The tool has gone: its end tells why.
        pending.clear();
        break;
    }
    if (writable)
        writable->setEnabled(false);
}

void ToolWorker::readAnswers() {
    char buffer[65536];
    bool atEnd = false;
    for (;;) {
        const ssize_t got = ::read(fromTool, buffer, sizeof buffer);
        if (got > 0) {
            received.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        atEnd = got == 0;
        break;
    }
    while (currentState != State::Gone) {
        if (currentState == State::Starting) {
            qsizetype length = 0;
            const std::optional<QStringList> features = readyFeatures(received, length);
            if (!features)
                break;
            if (length < 0) {
                goGone(QStringLiteral("the tool does not serve requests"));
                return;
            }
            offered = *features;
            received.remove(0, length);
            currentState = State::Idle;
            emit ready();
            continue;
        }
        qsizetype used = 0;
        std::optional<ServedAnswer> answer = takeAnswer(received, used);
        if (used < 0) {
            goGone(QStringLiteral("its answer could not be read"));
            return;
        }
        if (!answer)
            break;
        received.remove(0, used);
        if (asked.empty() || answer->id != asked.front()) {
            goGone(QStringLiteral("it answered a request it was not asked"));
            return;
        }
        asked.pop_front();
        if (asked.empty())
            currentState = State::Idle;
        ++served;
        emit answered(*answer);
    }
    // The end of its output: the tool has ended or is ending; its end says how.
    if (atEnd && readable)
        readable->setEnabled(false);
    if (atEnd && endNotice < 0)
        toolEnded();
}

void ToolWorker::toolEnded() {
    if (currentState == State::Gone)
        return;
    // What it wrote before it ended is read first.
    if (readable && readable->isEnabled())
        readAnswers();
    if (currentState == State::Gone)
        return;
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED) != 0 && errno == EINTR) {
    }
    pid = -1;
    goGone(endReason(info));
}

void ToolWorker::goGone(const QString& reason) {
    stop();
    emit gone(reason);
}

void ToolWorker::stop() {
    if (currentState == State::Gone && pid < 0 && toTool < 0)
        return;
    currentState = State::Gone;
    asked.clear();
    readable.reset();
    writable.reset();
    ended.reset();
    killTool(pid);
    pid = -1;
    closeDescriptors();
}

void ToolWorker::closeDescriptors() {
    closeIfOpen(toTool);
    closeIfOpen(fromTool);
    closeIfOpen(endNotice);
    closeIfOpen(memoryFile);
}

qint64 ToolWorker::residentBytes() const {
    if (pid <= 0 || memoryFile < 0)
        return 0;
    // The file gives its figures anew at each read from its start.
    char text[128];
    const ssize_t got = ::pread(memoryFile, text, sizeof text - 1, 0);
    if (got <= 0)
        return 0;
    const QList<QByteArray> fields = QByteArray(text, got).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

} // namespace extract
