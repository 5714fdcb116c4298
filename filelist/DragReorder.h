#pragma once

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace app {
class Form1;
}

namespace filelist {

// Reorders the file list with the mouse: a pressed row follows the cursor by exchanging its
// text with each row the cursor reaches. Moving slowly shifts it one place at a time; a
// jump exchanges it with the row where the cursor lands. Rows with the same text are never
// exchanged. Also delivers double-clicks anywhere on the list.
class DragReorder : public QObject {
    Q_OBJECT
public:
    DragReorder(app::Form1& window, std::function<void()> onDoubleClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mousePressed(const QPoint& position);
    void mouseMoved(const QPoint& position);
    void mouseReleased();
    QTreeWidgetItem* itemAt(const QPersistentModelIndex& index) const;

    app::Form1& window;
    QTreeWidget* list;
    QWidget* viewport;
    std::function<void()> onDoubleClick;
    bool MouseIsDown = false;
    QPersistentModelIndex DragItem; // the row being moved; invalid when none
};

} // namespace filelist
