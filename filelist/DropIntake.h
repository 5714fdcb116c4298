#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QTreeWidget;

namespace filelist {

// The local files and folders that a drop carries, in the order of the drop; empty when it
// carries anything else (text, pictures, web addresses), which is refused.
QStringList droppedPaths(const QMimeData* data);

// Adds the rows of dropped paths, in order: a file as delivered, a folder as every file of
// its whole tree, whatever the extension.
void addDroppedPaths(QTreeWidget* list, const QStringList& paths);

// Takes drops of files and folders from the desktop onto the file list, also while the
// window is busy. The drop is acknowledged at once and its rows are added right after from
// the event loop, so the program that started the drag is not held up while a large folder
// is expanded; drops that arrive meanwhile follow in the order they came.
class DropIntake : public QObject {
    Q_OBJECT
public:
    explicit DropIntake(QTreeWidget* list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeDrop(const QStringList& paths);
    void addPendingDrops();

    QTreeWidget* list;
    QWidget* viewport;
    bool draggingFiles = false; // the drag now over the list carries files
    QStringList pending;
    bool adding = false;
};

} // namespace filelist
