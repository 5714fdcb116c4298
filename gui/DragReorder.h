#pragma once

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>

class QAbstractItemView;

namespace base {
class FileListModel;
}

namespace gui {

// Reorders the file list with the mouse: a pressed row follows the cursor by exchanging its
// path with each row the cursor reaches. Moving slowly shifts it one place at a time; a
// jump exchanges it with the row where the cursor lands. Rows with the same path are never
// exchanged. Also delivers double-clicks anywhere on the list.
class DragReorder : public QObject {
    Q_OBJECT
public:
    // The drag cursor is drag.ico of programFolder, when there.
    DragReorder(QAbstractItemView* view, base::FileListModel& files, const QString& programFolder,
                std::function<void()> onDoubleClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mousePressed(const QPoint& position);
    void mouseMoved(const QPoint& position);
    void mouseReleased();

    QAbstractItemView* view;
    base::FileListModel& files;
    QWidget* viewport;
    QString programFolder;
    std::function<void()> onDoubleClick;
    bool mouseIsDown = false;
    QPersistentModelIndex draggedRow; // invalid when no row is being moved
};

} // namespace gui
