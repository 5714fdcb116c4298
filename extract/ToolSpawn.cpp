#include "extract/ToolSpawn.h"

#include "platform/FileNames.h"

#include <QByteArray>
#include <QList>

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
#include <vector>

namespace extract {

namespace {

// The tool's environment: ours, with a UTF-8 locale when ours is not, so that a tool that
// takes its file-name encoding from the locale can open non-ASCII names. Only that rare case
// builds a copy; otherwise ours is passed as it is, which costs nothing per start.
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

void connect(posix_spawn_file_actions_t& actions, int descriptor, int standard, int mode) {
    if (descriptor >= 0)
        posix_spawn_file_actions_adddup2(&actions, descriptor, standard);
    else
        posix_spawn_file_actions_addopen(&actions, standard, "/dev/null", mode, 0);
}

} // namespace

bool makePipe(int (&ends)[2]) {
    return ::pipe2(ends, O_CLOEXEC) == 0;
}

qsizetype writeHoldingSigpipe(int descriptor, QByteArrayView data) {
    ::fcntl(descriptor, F_SETFL, O_NONBLOCK);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;
    const ssize_t written = ::write(descriptor, data.data(), static_cast<size_t>(data.size()));
    const int error = errno;
    if (written < 0 && error == EPIPE && !wasPending) {
        const timespec noWait{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return written;
}

void closeIfOpen(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

SpawnedTool spawnTool(const QString& program, const QStringList& arguments, int input, int output,
                      int error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    connect(actions, input, STDIN_FILENO, O_RDONLY);
    connect(actions, output, STDOUT_FILENO, O_WRONLY);
    connect(actions, error, STDERR_FILENO, O_WRONLY);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A process group of its own, not a session: where the scheduler groups processes by
    // session, every tool would be a group of one, which costs a group's set-up per start and
    // leaves a core idle more often when tools run side by side.
    sigset_t none;
    sigemptyset(&none);
    // Every signal at its default (SIGPIPE too, which this program ignores). Naming them all
    // also spares the starting child a look at each signal's handler: 64 system calls.
    sigset_t defaults;
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);

    QByteArray encodedProgram = platform::encodeFileName(program);
    QList<QByteArray> encodedArguments{encodedProgram};
    for (const QString& argument : arguments)
        encodedArguments.append(platform::encodeFileName(argument));
    QList<QByteArray> adjustedEnvironment;
    std::vector<char*> adjustedPointers;
    char* const* envp = environ;
    if (!localeIsUtf8()) {
        adjustedEnvironment = environmentWithUtf8Locale();
        adjustedPointers = pointersTo(adjustedEnvironment);
        envp = adjustedPointers.data();
    }
    const std::vector<char*> argv = pointersTo(encodedArguments);
    SpawnedTool spawned;
    spawned.error = ::posix_spawn(&spawned.pid, encodedProgram.constData(), &actions, &attributes,
                                  argv.data(), envp);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned.error != 0) {
        spawned.pid = -1;
        return spawned;
    }
    runBelowUs(spawned.pid);
    spawned.endNotice = static_cast<int>(::syscall(SYS_pidfd_open, spawned.pid, 0));
    return spawned;
}

void killTool(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(-pid, SIGKILL);
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED) != 0 && errno == EINTR) {
    }
}

} // namespace extract
