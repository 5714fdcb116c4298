#pragma once

#include <QString>
#include <QStringList>

namespace base {
class ErrorSink;
class StopRequest;
} // namespace base

// Walking folders, shared by the folder scan, drag and drop and the sample files. Folder
// paths in a folder collection end in "/". Names are Unicode; listings come sorted by name,
// ignoring letter case, so that every walk gives the same order.
namespace filelist {

// What a walk left out by its rules, for a caller that says so.
struct LeftOut {
    // Files whose names the rules leave out: starting with "~", hidden and archived and
    // nothing else, or with a path too long for the system.
    int files = 0;
    // Folders not entered: with unusable names, hidden system folders, or unreadable.
    int folders = 0;
};

// Appends to folders the subfolders of the folders it holds (with recurse, those of every
// depth), level by level: all children of the given folders first, in the order of their
// parents, then their children, and so on. Not entered: symbolic links to folders, hidden
// system folders (other than a root), folders with unusable names and folders whose path
// is too long for the system. A folder whose subfolders cannot be listed because access is
// denied or it is gone is taken out of the collection, so its files are not listed either.
// Folders left out are counted in leftOut, when given. A step that fails is reported to
// errors as the folder-tree expansion's, and the walk goes on; a stop requested ends it
// (base::Stopped). Runs in any thread.
void collectSubfolders(QStringList& folders, bool recurse, base::ErrorSink& errors,
                       LeftOut* leftOut = nullptr, const base::StopRequest* stop = nullptr);

// The names of the existing files (not folders) in folder that match the wildcard pattern,
// hidden ones included. Empty when the folder cannot be listed.
QStringList listFilesInFolder(const QString& folder, const QString& pattern);

// A file that listFilesInFolder lists, with the attributes it had when it was listed.
struct ListedFile {
    QString name;
    int attributes = 0;
};
// listFilesInFolder with each file's attributes from the same look-up.
QList<ListedFile> listFilesWithAttributes(const QString& folder, const QString& pattern);

// True when path is an existing regular file, following a symbolic link. Folders, devices,
// pipes and sockets are not files that can be read as documents.
bool isExistingFile(const QString& path);

// True when path's attributes carry the directory bit (a link to a folder does).
bool isFolder(const QString& path);

// True when a folder name holds a character below 32, from 127 to 159, or "?".
bool hasUnusableCharacters(const QString& name);

} // namespace filelist
