#pragma once

#include <QString>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

// A file's entry in the file system as looked up at one moment: its type, size and the
// times it was modified, made and last read.
struct FileEntry {
    bool found = false;
    struct statx status {};

    bool isRegularFile() const { return found && S_ISREG(status.stx_mode); }
    bool hasBirthTime() const { return found && (status.stx_mask & STATX_BTIME) != 0; }
};

// Looks the entry of the file at path up, following a symbolic link to its target.
FileEntry lookUpFile(const QString& path);

} // namespace platform
