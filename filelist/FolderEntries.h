#pragma once

#include <QString>

#include <dirent.h>
#include <optional>

namespace filelist {

// One entry of a folder as the directory listing gives it, valid until the next is read.
struct FolderEntry {
    enum class Kind { Folder, Link, Other };
    const char* encodedName = nullptr; // the name's bytes in the file-system encoding
    Kind kind = Kind::Other;
};

// Why a folder could not be listed, in the terms the walk needs.
enum class ListingFailure { None, AccessDenied, PathNotFound, Other };

// What one look-up tells about an entry: its attributes and whether it is, through a link
// if need be, a regular file.
struct EntryStatus {
    int attributes = 0;
    bool isRegularFile = false;
};

// An open folder, read entry by entry. Entries are looked up relative to it, which spares
// the system a walk down the whole path for every file.
class OpenFolder {
public:
    explicit OpenFolder(const QString& folder);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // The next entry other than "." and "..", in the order the file system gives them, not
    // following symbolic links; nothing at the end, or when the listing breaks off.
    std::optional<FolderEntry> next();
    // Why the folder could not be opened or read to its end.
    ListingFailure failure() const { return failed; }

    // The status now of the entry with the given bytes and decoded name; nothing when it is
    // gone.
    std::optional<EntryStatus> status(const char* encodedName, const QString& name) const;

private:
    DIR* handle = nullptr;
    ListingFailure failed = ListingFailure::None;
};

// The name as text, whatever its bytes: bytes that are not UTF-8 are carried so that the
// text turns back into the same path (platform/FileNames.h).
QString decodedName(const char* encodedName);

// True when path is short enough, in bytes of the file-system encoding, for the system calls.
bool fitsPathLimit(const QString& path);

} // namespace filelist
