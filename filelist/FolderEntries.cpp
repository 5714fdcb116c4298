#include "filelist/FolderEntries.h"

#include "filelist/FileAttributes.h"

#include "platform/FileNames.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace filelist {

namespace {

ListingFailure failureOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return ListingFailure::AccessDenied;
    case ENOENT:
    case ENOTDIR:
        return ListingFailure::PathNotFound;
    default:
        return ListingFailure::Other;
    }
}

FolderEntry::Kind kindOf(DIR* folder, const dirent* entry) {
    switch (entry->d_type) {
    case DT_DIR:
        return FolderEntry::Kind::Folder;
    case DT_LNK:
        return FolderEntry::Kind::Link;
    case DT_UNKNOWN:
        break; // some file systems leave the type to a separate look-up
    default:
        return FolderEntry::Kind::Other;
    }
    struct stat status {};
    if (::fstatat(::dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return FolderEntry::Kind::Other;
    if (S_ISDIR(status.st_mode))
        return FolderEntry::Kind::Folder;
    return S_ISLNK(status.st_mode) ? FolderEntry::Kind::Link : FolderEntry::Kind::Other;
}

} // namespace

QString decodedName(const char* encodedName) {
    return platform::decodeFileName(encodedName);
}

bool fitsPathLimit(const QString& path) {
    return platform::encodeFileName(path).size() < PATH_MAX;
}

OpenFolder::OpenFolder(const QString& folder) {
    handle = ::opendir(platform::encodeFileName(folder).constData());
    if (!handle)
        failed = failureOf(errno);
}

OpenFolder::~OpenFolder() {
    if (handle)
        ::closedir(handle);
}

std::optional<FolderEntry> OpenFolder::next() {
    while (handle) {
        errno = 0;
        const dirent* entry = ::readdir(handle);
        if (!entry) {
            if (errno != 0)
                failed = failureOf(errno);
            return std::nullopt;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            return FolderEntry{entry->d_name, kindOf(handle, entry)};
    }
    return std::nullopt;
}

std::optional<EntryStatus> OpenFolder::status(const char* encodedName, const QString& name) const {
    if (!handle)
        return std::nullopt;
    const int folder = ::dirfd(handle);
    struct stat own {};
    if (::fstatat(folder, encodedName, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    struct stat target = own;
    if (S_ISLNK(own.st_mode) && ::fstatat(folder, encodedName, &target, 0) != 0)
        target = own;
    return EntryStatus{composeAttributes(name, own, target), S_ISREG(target.st_mode)};
}

} // namespace filelist
