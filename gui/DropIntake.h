#pragma once

#include <QObject>
#include <QStringList>

class QAbstractItemView;

namespace filelist {
class DroppedPathsIntake;
}

namespace gui {

// Takes drops of files and folders from the desktop onto the file list's view, also while
// the program is busy. The drop is acknowledged at once and its rows are added right after
// from the event loop, so the program that started the drag is not held up; folders are
// walked in a thread of their own, and drops follow in the order they came.
class DropIntake : public QObject {
    Q_OBJECT
public:
    DropIntake(QAbstractItemView* view, filelist::DroppedPathsIntake& intake);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    filelist::DroppedPathsIntake& intake;
    QWidget* viewport;
    bool draggingFiles = false; // the drag now over the list carries files
};

} // namespace gui
