#pragma once

#include "base/Result.h"

#include <QSaveFile>
#include <QString>

#include <functional>

namespace base {
class StopRequest;
}

namespace output {

// Writes a file that takes the place of the one at its path only once it is complete and
// safe on disk: it is written beside it under a unique temporary name and then renamed over
// it, so a failure, a crash or a second writer never leaves a cut or mixed file there. Only
// in a folder the user may not write is a file the user may write written over in place, as
// a plain overwrite would. Every failure is a RunTimeError naming the path and the reason;
// the temporary file then goes and the old file stays, as it does when the writer goes
// uncommitted. Usable in any thread.
class WholeFileWriter {
public:
    // Starts the file. Throws "<path> cannot be written: <reason>".
    explicit WholeFileWriter(const QString& path);

    // Where the content goes; a write it refuses is thrown as failure().
    QIODevice& device() { return file; }

    // Puts the file in place once every byte has reached the disk. Throws
    // "<path> could not be written completely: <reason>" when one has not.
    void commit();

    // Discards the file and throws "<path> could not be written completely: <reason>" with
    // the reason the last write was refused.
    [[noreturn]] void failure();

private:
    [[noreturn]] void fail(const QString& reason);

    QString path;
    QSaveFile file;
};

// Writes the file at path whole with write, which may throw base::Stopped (passed on, the old
// file left) or base::RunTimeError (a refused write: said with the file's name). A stop
// requested meanwhile also leaves the old file. Failures come back as the status.
base::Status writeWholeFile(const QString& path, const base::StopRequest* stop,
                            const std::function<void(QIODevice&)>& write);

// The reason the last write to file was refused. A write that stopped part-way gives no
// reason of its own ("Unknown error"); what it left in the file's buffer is written once
// more, which meets the same refusal and names it.
QString writeFailureReason(QFileDevice& file);

} // namespace output
