#include "base/PathHelpers.h"

#include "platform/FileNames.h"

#include <sys/stat.h>

namespace base {

bool fileIsPresent(const QString& path) {
    if (path.isEmpty())
        return false;
    struct stat status {};
    return ::stat(platform::encodeFileName(path).constData(), &status) == 0;
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace base
