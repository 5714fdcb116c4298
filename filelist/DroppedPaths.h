#pragma once

#include <QStringList>

class QMimeData;

namespace base {
class FileListModel;
}

namespace filelist {

// The local files and folders that a drop carries, in the order of the drop; empty when it
// carries anything else (text, pictures, web addresses), which is refused.
QStringList droppedPaths(const QMimeData* data);

// Adds the rows of dropped paths, in order: a file as delivered, a folder as every file of
// its whole tree, whatever the extension.
void addDroppedPaths(base::FileListModel& files, const QStringList& paths);

} // namespace filelist
