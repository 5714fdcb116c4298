#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace platform {

// What makes a file the same file under any name: its device and inode. Two paths, through
// links or not, name the same file exactly when their identities are equal.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file path leads to (following links); nothing when it does not exist.
std::optional<FileIdentity> identityOf(const QString& path);

// The first of files that is the file at path itself (the same file through links or under
// another name); empty when none is, or when path does not exist.
QString sameFileAmong(const QStringList& files, const QString& path);

} // namespace platform
