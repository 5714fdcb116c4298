#include "extract/ToolProcess.h"

#include "extract/ToolSpawn.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace extract {

namespace {

constexpr qsizetype errorOutputKept = 4096;

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
    const SpawnedTool spawned =
        spawnTool(command.program, command.arguments, input[0], -1, error[1]);
    closeIfOpen(input[0]);
    ::close(error[1]);
    spawnError = spawned.error;
    if (spawned.pid < 0) {
        closeIfOpen(input[1]);
        ::close(error[0]);
        return;
    }
    pid = spawned.pid;
    endNotice = spawned.endNotice;
    errorPipe = error[0];
    ::fcntl(errorPipe, F_SETFL, O_NONBLOCK);
    // The password is a short line: it fits the pipe, so the write never waits on the tool.
    if (givesInput)
        writeHoldingSigpipe(input[1], command.input);
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
    killTool(pid);
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
