#include "extract/ToolProcess.h"

#include "platform/FileNames.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <langinfo.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace extract {

namespace {

constexpr qsizetype errorOutputKept = 4096;

// The tool's environment: ours, with a UTF-8 locale when ours is not, so that a tool that
// takes its file-name encoding from the locale can open non-ASCII names. Only that rare case
// builds a copy; otherwise ours is passed as it is, which costs nothing per file.
QList<QByteArray> environmentWithUtf8Locale() {
    QList<QByteArray> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!QByteArray(*entry).startsWith("LC_ALL="))
            entries.append(*entry);
    entries.append("LC_ALL=C.UTF-8");
    return entries;
}

bool localeIsUtf8() {
    return QByteArray(nl_langinfo(CODESET)) == "UTF-8";
}

std::vector<char*> pointersTo(QList<QByteArray>& texts) {
    std::vector<char*> pointers;
    for (QByteArray& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A pipe whose ends are not inherited by any program started later.
bool makePipe(int (&ends)[2]) {
    return ::pipe2(ends, O_CLOEXEC) == 0;
}

// The password is a short line: it fits the pipe, so the write never waits on the tool. A
// tool that ends without reading it must not end this program with SIGPIPE, so the signal is
// held while writing and a pending one is taken back.
void writeWithoutSigpipe(int descriptor, const QByteArray& data) {
    ::fcntl(descriptor, F_SETFL, O_NONBLOCK);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;
    if (::write(descriptor, data.constData(), static_cast<size_t>(data.size())) < 0 &&
        errno == EPIPE && !wasPending) {
        const timespec noWait{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

// How far below this program's priority a tool runs.
constexpr int toolNicenessAboveOurs = 5;

// When every processor is busy, the program (which starts the next tool and fills the rows)
// then gets its turn before a tool's time slice ends: a processor freed by a tool that ended
// gets its next tool sooner, fewer processors stand idle, and the window answers at once
// while tools work.
void runBelowUs(pid_t pid) {
    errno = 0;
    const int ours = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid),
                      std::min(ours + toolNicenessAboveOurs, 19));
}

void closeIfOpen(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

ToolProcess::ToolProcess(const ToolCommand& command) {
    // Input goes through a pipe only when there is some (a password); otherwise the tool
    // reads the end of input from /dev/null, which saves a pipe per file.
    const bool givesInput = !command.input.isEmpty();
    int input[2] = {-1, -1};
    int error[2] = {-1, -1};
    if ((givesInput && !makePipe(input)) || !makePipe(error)) {
        spawnError = errno;
        closeIfOpen(input[0]), closeIfOpen(input[1]), closeIfOpen(error[0]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (givesInput)
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, error[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A process group of its own: the tool and anything it starts form one group to kill,
    // and, never the terminal's foreground group, it gets no terminal signal of ours. Not a
    // session of its own: where the scheduler groups processes by session, every tool would
    // be a group of one, which costs a group's set-up per file and leaves a core idle more
    // often when tools run side by side.
    sigset_t none;
    sigemptyset(&none);
    // Every signal starts at its default in the tool, as a program started afresh expects
    // (SIGPIPE too, which this program ignores). Naming them all also spares the starting
    // child a look at each signal's handler before it resets it: 64 system calls per start.
    sigset_t defaults;
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);

    QByteArray program = platform::encodeFileName(command.program);
    QList<QByteArray> arguments{program};
    for (const QString& argument : command.arguments)
        arguments.append(platform::encodeFileName(argument));
    QList<QByteArray> adjustedEnvironment;
    std::vector<char*> adjustedPointers;
    char* const* envp = environ;
    if (!localeIsUtf8()) {
        adjustedEnvironment = environmentWithUtf8Locale();
        adjustedPointers = pointersTo(adjustedEnvironment);
        envp = adjustedPointers.data();
    }
    const std::vector<char*> argv = pointersTo(arguments);
    spawnError = ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), envp);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    closeIfOpen(input[0]);
    ::close(error[1]);
    if (spawnError != 0) {
        pid = -1;
        closeIfOpen(input[1]);
        ::close(error[0]);
        return;
    }
    runBelowUs(pid);
    errorPipe = error[0];
    ::fcntl(errorPipe, F_SETFL, O_NONBLOCK);
    endNotice = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (givesInput)
        writeWithoutSigpipe(input[1], command.input);
    closeIfOpen(input[1]);
}

ToolProcess::~ToolProcess() {
    stop();
    closeIfOpen(errorPipe);
    closeIfOpen(endNotice);
}

bool ToolProcess::checkForEnd() {
    collectErrorOutput();
    if (!wasStarted() || ended)
        return true;
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG) != 0) {
        ended = errno == ECHILD; // reaped elsewhere: it is gone all the same
        return ended;
    }
    if (info.si_pid == 0)
        return false;
    ended = true;
    status = info.si_code == CLD_EXITED ? info.si_status : 128 + SIGKILL;
    collectErrorOutput();
    return true;
}

int ToolProcess::exitCode() const {
    return status;
}

void ToolProcess::stop() {
    if (!wasStarted() || ended)
        return;
    ::kill(-pid, SIGKILL);
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED) != 0 && errno == EINTR) {
    }
    ended = true;
    status = 128 + SIGKILL;
    collectErrorOutput();
}

void ToolProcess::collectErrorOutput() {
    if (errorPipe < 0 || errorOutputEnded)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(errorPipe, buffer, sizeof buffer);
        if (got > 0) {
            if (errorOutput.size() < errorOutputKept)
                errorOutput.append(buffer,
                                   std::min<qsizetype>(got, errorOutputKept - errorOutput.size()));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // Every writer has gone. The descriptor stays open until the object goes: whoever
        // watches it stops first, and its number is not given to another file meanwhile.
        if (got == 0)
            errorOutputEnded = true;
        return;
    }
}

const QByteArray& ToolProcess::errors() {
    collectErrorOutput();
    return errorOutput;
}

} // namespace extract
