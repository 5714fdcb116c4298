#pragma once

#include "base/ErrorReport.h"

#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>

class QMimeData;

namespace base {
class FileListModel;
}

namespace filelist {

class FolderTreeScan;

// The local files and folders that a drop carries, in the order of the drop; empty when it
// carries anything else (text, pictures, web addresses), which is refused.
QStringList droppedPaths(const QMimeData* data);

// What drops add to the file list, in the order they came: a file as delivered, a folder as
// every file of its whole tree, whatever the extension, walked in a thread of its own while
// the window goes on. Paths dropped while a folder is walked wait for it.
class DroppedPathsIntake : public QObject {
    Q_OBJECT
public:
    DroppedPathsIntake(base::FileListModel& files, const base::ErrorReport& errors,
                       QObject* parent = nullptr);
    ~DroppedPathsIntake() override;

    void add(const QStringList& paths);
    // Whether a folder is still being walked.
    bool isBusy() const { return scan != nullptr; }
    // Drops what is still to be added and stops the walk.
    void stop();

signals:
    // A folder walk has begun (true), or everything dropped so far has been added (false).
    void busyChanged(bool busy);

private:
    void takeNext();

    base::FileListModel& files;
    base::ErrorReport errors;
    std::deque<QString> pending;
    std::unique_ptr<FolderTreeScan> scan;
};

} // namespace filelist
