#include "platform/FileEntry.h"

#include "platform/FileNames.h"

namespace platform {

FileEntry lookUpFile(const QString& path) {
    FileEntry entry;
    entry.found = !path.isEmpty() &&
                  ::statx(AT_FDCWD, encodeFileName(path).constData(), 0,
                          STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME,
                          &entry.status) == 0;
    return entry;
}

} // namespace platform
