#pragma once

#include <QObject>
#include <QStringList>

class QAbstractItemView;

namespace base {
class FileListModel;
}

namespace gui {

// Takes drops of files and folders from the desktop onto the file list's view, also while
// the program is busy. The drop is acknowledged at once and its rows are added right after
// from the event loop, so the program that started the drag is not held up while a large
// folder is expanded; drops that arrive meanwhile follow in the order they came.
class DropIntake : public QObject {
    Q_OBJECT
public:
    DropIntake(QAbstractItemView* view, base::FileListModel& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeDrop(const QStringList& paths);
    void addPendingDrops();

    base::FileListModel& files;
    QWidget* viewport;
    bool draggingFiles = false; // the drag now over the list carries files
    QStringList pending;
    bool adding = false;
};

} // namespace gui
