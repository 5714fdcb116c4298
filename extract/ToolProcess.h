#pragma once

#include "extract/ToolCommand.h"

#include <QByteArray>

#include <sys/types.h>
#include <vector>

namespace extract {

// One start of the tool, in a process group of its own. The whole group is killed when the
// object goes while the tool still runs (a tool may be a script that starts the real program
// as its child), so no process of it is ever left behind.
//
// The tool is spawned without copying this process (posix_spawn), so a start costs the same
// however large the program has grown, and can be waited for together with others.
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
    bool running();
    // Whether its end has been noticed (by running() or a wait), without asking the system
    // again: cheap enough to count the tools at work many times per file.
    bool endNoticed() const { return !wasStarted() || ended; }
    // Waits up to milliseconds for the tool to end; returns as soon as it does.
    void waitUpTo(int milliseconds);
    // Waits up to milliseconds for any of the running tools to end, returning as soon as one
    // does.
    static void waitForAny(const std::vector<ToolProcess*>& tools, int milliseconds);
    // The exit code of a tool that has ended; 137 for one that was killed or crashed.
    int exitCode() const;
    // Kills the tool and its children and waits for it.
    void stop();
    // The start of what it wrote on its error output: the reason for a failure is in the
    // first lines, and a tool that writes without end must not fill the memory.
    const QByteArray& errors();

private:
    // Reads what the error output holds now, keeping only its start.
    void collectErrorOutput();
    // Takes note of the tool's end without waiting; true once it has ended.
    bool checkForEnd();
    // The descriptors to wait on for this tool: its end, else its error output.
    int waitDescriptor() const;

    pid_t pid = -1;
    int spawnError = 0;
    bool ended = false;
    int status = 0;
    int errorPipe = -1;
    // Readable once the process has ended; -1 where the system has none.
    int endNotice = -1;
    QByteArray errorOutput;
};

} // namespace extract
