#pragma once

#include "extract/ToolCommand.h"

#include <QByteArray>
#include <QProcess>

namespace extract {

// One start of the tool, in a process group of its own. The whole group is killed when the
// object goes while the tool still runs (a tool may be a script that starts the real program
// as its child), so no process of it is ever left behind.
class ToolProcess {
public:
    explicit ToolProcess(const ToolCommand& command);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool wasStarted() const { return started; }
    // Why it could not be started: an error number (2 when the program is missing, 13 when
    // it may not be run).
    int startError() const;
    bool running() const { return process.state() != QProcess::NotRunning; }
    // Waits up to milliseconds for the tool to end; returns as soon as it does.
    void waitUpTo(int milliseconds);
    // The exit code of a tool that has ended; 137 for one that was killed or crashed.
    int exitCode() const;
    // Kills the tool and its children and waits for it.
    void stop();
    // The start of what it wrote on its error output: the reason for a failure is in the
    // first lines, and a tool that writes without end must not fill the memory.
    const QByteArray& errors();

private:
    void collectErrorOutput();

    QProcess process;
    QString program;
    bool started = false;
    QByteArray errorOutput;
};

} // namespace extract
