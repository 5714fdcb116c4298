#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace base {
class FileListModel;
}

// Folder trees and list readers for the file-list tests.
namespace folderfixtures {

// A temporary folder for a tree, removed at the end even when it holds names that Qt cannot
// address (undecodable bytes, paths beyond the system's length limit).
class TreeRoot {
public:
    TreeRoot() { folder.setAutoRemove(false); }
    ~TreeRoot();
    QString path() const { return folder.path(); }
    QString filePath(const QString& name) const { return folder.filePath(name); }

private:
    QTemporaryDir folder;
};

// Creates the entries below root: a path ending in "/" is a folder, any other an empty file.
void makeTree(const QString& root, const QStringList& entries);
// A symbolic link at path to target, taken as written (relative to the link's folder).
void makeLink(const QString& target, const QString& path);

// The paths of the list's rows, each with prefix cut off.
QStringList rowsOf(const base::FileListModel& files, const QString& prefix = {});

// While alive, permission bits bind the process even when it runs as root (as the tests do in
// CI): the capabilities that let root read and search any folder are lowered, and raised
// again at the end.
class PermissionBitsApply {
public:
    PermissionBitsApply();
    ~PermissionBitsApply();
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;

private:
    bool lowered = false;
};

// True when this process cannot open the folder for listing now.
bool folderIsUnreadable(const QString& folder);

// How many threads this process has now.
int threadCount();
// True when the process is back to count threads within a few milliseconds: the time the
// system takes to remove a thread that has ended, far less than any walk of the tests takes.
bool threadsAreBackTo(int count);

} // namespace folderfixtures
