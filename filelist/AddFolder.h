#pragma once

#include <QString>
#include <QStringList>

// The folder procedures shared by the folder scan, drag and drop and the sample files.
// Folder paths in a folder collection end in "/". Names are Unicode; listings come sorted
// by name, ignoring letter case, so that every walk gives the same order.
namespace filelist {

// Appends to folders the subfolders of the folders it holds (with recurse, those of every
// depth), level by level: all children of the given folders first, in the order of their
// parents, then their children, and so on. Not entered: symbolic links to folders, hidden
// system folders (other than a root), folders with unusable names and folders whose path
// is too long for the system. A folder whose subfolders cannot be listed because access is
// denied or it is gone is taken out of the collection, so its files are not listed either.
void GetSubDirectories2016(QStringList& folders, bool recurse);

// The names of the existing files (not folders) in folder that match the wildcard pattern,
// hidden ones included. Empty when the folder cannot be listed.
QStringList ListFilesInFolder(const QString& folder, const QString& pattern);

// A file that ListFilesInFolder lists, with the attributes it had when it was listed.
struct ListedFile {
    QString name;
    int attributes = 0;
};
// ListFilesInFolder with each file's attributes from the same look-up.
QList<ListedFile> listFilesWithAttributes(const QString& folder, const QString& pattern);

// True when path is an existing regular file, following a symbolic link. Folders, devices,
// pipes and sockets are not files that can be read as documents.
bool IsExistingFile(const QString& path);

// True when path's attributes carry the directory bit (a link to a folder does).
bool IsFolder(const QString& path);

// True when a folder name holds a character below 32, from 127 to 159, or "?".
bool HasUnusableCharacters(const QString& name);

// The folder browser with prompt above it, opening on initialFolder; empty when cancelled.
QString BrowseForFolder(const QString& prompt, const QString& initialFolder);

} // namespace filelist
