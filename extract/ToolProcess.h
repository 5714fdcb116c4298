#pragma once

#include "extract/ToolCommand.h"

#include <QByteArray>

#include <sys/types.h>

namespace extract {

// One start of the tool, in a process group of its own. The whole group is killed when the
// object goes while the tool still runs (a tool may be a script that starts the real program
// as its child), so no process of it is ever left behind.
//
// The tool is spawned without copying this process (posix_spawn), so a start costs the same
// however large the program has grown. Its end and its error output are noticed through
// descriptors that become readable (endDescriptor, errorDescriptor), for an event loop to
// watch; nothing here waits, but stop().
class ToolProcess {
public:
    explicit ToolProcess(const ToolCommand& command);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool wasStarted() const { return pid > 0; }
    // Why it could not be started: an error number (ENOENT when the program is missing,
    // EACCES when it may not be run).
    int startError() const { return spawnError; }
    // Takes note of the tool's end without waiting; true once it has ended.
    bool checkForEnd();
    bool running() { return !checkForEnd(); }
    // Whether its end has been noticed, without asking the system again.
    bool endNoticed() const { return !wasStarted() || ended; }
    // Readable once the process has ended (a pidfd); -1 where the system has none, and then
    // the end must be looked for now and then.
    int endDescriptor() const { return endNotice; }
    // Readable while the tool's error output holds something to read, and for good once it
    // has ended; -1 when there is none.
    int errorDescriptor() const { return errorPipe; }
    bool errorOutputHasEnded() const { return errorOutputEnded; }
    // Reads what the error output holds now, keeping only its start.
    void collectErrorOutput();
    // The exit code of a tool that has ended; 137 for one that was killed or crashed.
    int exitCode() const;
    // Kills the tool and its children and waits for it.
    void stop();
    // The start of what it wrote on its error output: the reason for a failure is in the
    // first lines, and a tool that writes without end must not fill the memory.
    const QByteArray& errors();

private:
    pid_t pid = -1;
    int spawnError = 0;
    bool ended = false;
    int status = 0;
    int errorPipe = -1;
    bool errorOutputEnded = false;
    // Readable once the process has ended; -1 where the system has none.
    int endNotice = -1;
    QByteArray errorOutput;
};

} // namespace extract
