#pragma once

#include <QElapsedTimer>
#include <QStringList>

namespace base {
class FileListModel;
}

namespace filelist {

// Rows on their way into the file list. A view lays out all its rows again after every
// insertion it paints, so rows found in quick succession are gathered and go in together
// a few times a second: a tree of a hundred thousand files then costs a few dozen layouts
// instead of thousands, while the rows still appear as the walk goes on.
class PendingRows {
public:
    explicit PendingRows(base::FileListModel& files);

    // Queues rows; they go into the list when enough time has passed since the last rows did.
    void add(const QStringList& rows);
    // Puts every queued row into the list now.
    void flush();

private:
    base::FileListModel& files;
    QStringList queued;
    QElapsedTimer sinceFlush;
};

} // namespace filelist
