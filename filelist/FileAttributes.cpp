#include "filelist/FileAttributes.h"

#include "platform/FileNames.h"

#include <sys/stat.h>

namespace filelist {

QString lastNameOf(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == QLatin1Char('/'))
        --end;
    if (end == 0)
        return {};
    const qsizetype start = path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
    return path.mid(start, end - start);
}

int composeAttributes(const QString& name, const struct stat& entry, const struct stat& target) {
    int attributes = 0;
    if (S_ISLNK(entry.st_mode))
        attributes |= attributeReparsePoint;
    if (S_ISDIR(target.st_mode))
        attributes |= attributeDirectory;
    if (S_ISREG(target.st_mode))
        attributes |= attributeArchive;
    // A link's own mode says nothing; a dangling link has no target to be read-only.
    if (!S_ISLNK(target.st_mode) && (target.st_mode & S_IWUSR) == 0)
        attributes |= attributeReadOnly;
    if (name.startsWith(QLatin1Char('.')))
        attributes |= attributeHidden;
    return attributes;
}

std::optional<int> fileAttributes(const QString& path) {
    const QByteArray encoded = platform::encodeFileName(path);
    struct stat entry {};
    if (encoded.isEmpty() || ::lstat(encoded.constData(), &entry) != 0)
        return std::nullopt;
    struct stat target = entry;
    if (S_ISLNK(entry.st_mode) && ::stat(encoded.constData(), &target) != 0)
        target = entry;
    return composeAttributes(lastNameOf(path), entry, target);
}

} // namespace filelist
