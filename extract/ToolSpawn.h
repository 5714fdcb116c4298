#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace extract {

// A tool started by spawnTool.
struct SpawnedTool {
    pid_t pid = -1;     // -1 when it could not be started
    int error = 0;      // why not: an error number (ENOENT, EACCES, EMFILE, ...)
    int endNotice = -1; // a pidfd, readable once it has ended; -1 where the system has none
};

// Starts program with arguments as a tool: in a process group of its own (the tool and
// anything it starts form one group to kill, and it gets no terminal signal of ours), every
// signal at its default and none blocked, as a program started afresh expects, a UTF-8
// locale, and a little below this program's priority. Standard input, output and error are
// the given descriptors, or /dev/null for -1. The descriptors are not closed here.
//
// Without copying this process (posix_spawn): a start costs the same however large the
// program has grown.
SpawnedTool spawnTool(const QString& program, const QStringList& arguments, int input, int output,
                      int error);

// Kills a tool's whole group and waits for the tool itself.
void killTool(pid_t pid);

// A pipe whose ends are not inherited by any program started later; false with errno set.
bool makePipe(int (&ends)[2]);

// Writes what a non-blocking descriptor takes of data now; the count written, or -1 with
// errno. A tool that has gone must not end this program with SIGPIPE, so the signal is held
// while writing and a pending one is taken back.
qsizetype writeHoldingSigpipe(int descriptor, QByteArrayView data);

// Closes a descriptor if open and marks it closed.
void closeIfOpen(int& descriptor);

} // namespace extract
