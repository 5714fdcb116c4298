#include "platform/FileIdentity.h"

#include "platform/FileNames.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(encodeFileName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

} // namespace platform
