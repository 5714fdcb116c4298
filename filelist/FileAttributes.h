#pragma once

#include <QString>

#include <optional>

struct stat;

namespace filelist {

// File attributes as the Windows file system reports them, composed from what Linux knows:
// read-only when the owner may not write, hidden when the name starts with ".", directory,
// reparse point for a symbolic link, and archive for every regular file (Windows sets it on
// every file written, so a file with hidden and archive alone is an ordinary hidden file).
// Linux has no system attribute.
inline constexpr int attributeReadOnly = 1;
inline constexpr int attributeHidden = 2;
inline constexpr int attributeSystem = 4;
inline constexpr int attributeDirectory = 16;
inline constexpr int attributeArchive = 32;
inline constexpr int attributeReparsePoint = 1024;

// The attribute value of path; nothing when path does not exist. A symbolic link carries the
// reparse point and, through its target, the directory and read-only attributes.
std::optional<int> fileAttributes(const QString& path);

// The attribute value of an entry called name, from the status of the entry itself and of
// what it leads to (the same status unless the entry is a link with a target).
int composeAttributes(const QString& name, const struct stat& entry, const struct stat& target);

// The last name of path, ignoring closing separators ("/a/.b/" gives ".b").
QString lastNameOf(const QString& path);

} // namespace filelist
