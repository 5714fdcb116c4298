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

QString sameFileAmong(const QStringList& files, const QString& path) {
    const std::optional<FileIdentity> wanted = identityOf(path);
    if (!wanted)
        return {};
    for (const QString& file : files)
        if (identityOf(file) == wanted)
            return file;
    return {};
}

} // namespace platform
