#include "filelist/DragReorder.h"

#include "app/BusyState.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "platform/CursorFile.h"
#include "platform/ProgramFolder.h"

#include <QMouseEvent>
#include <QTreeWidget>

namespace filelist {

DragReorder::DragReorder(app::Form1& window, std::function<void()> onDoubleClick)
    : QObject(&window), window(window), list(window.ListView1), viewport(list->viewport()),
      onDoubleClick(std::move(onDoubleClick)) {
    // Moving a pressed row reorders the list; it never starts a transfer out of it.
    list->setDragEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    viewport->installEventFilter(this);
}

QTreeWidgetItem* DragReorder::itemAt(const QPersistentModelIndex& index) const {
    return index.isValid() ? list->topLevelItem(index.row()) : nullptr;
}

bool DragReorder::eventFilter(QObject* watched, QEvent* event) {
    // The list may be half destroyed when its viewport's last events arrive: compare with the
    // viewport kept from construction, and touch the list only for mouse events.
    if (watched != viewport)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePressed(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false; // the list still selects the pressed row
    case QEvent::MouseMove:
        if (!MouseIsDown)
            return false;
        mouseMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true; // the rows move; the list must not drag a selection as well
    case QEvent::MouseButtonRelease:
        mouseReleased();
        return false;
    case QEvent::MouseButtonDblClick:
        onDoubleClick();
        return true;
    default:
        return false;
    }
}

void DragReorder::mousePressed(const QPoint& position) {
    MouseIsDown = true;
    QTreeWidgetItem* clicked = list->itemAt(position);
    if (!clicked)
        return;
    // A row click: the row becomes the one being dragged, shown with the drag cursor.
    if (auto cursor =
            platform::cursorFromFile(platform::programFolder() + QStringLiteral("/drag.ico")))
        list->setCursor(*cursor);
    DragItem = QPersistentModelIndex(list->model()->index(list->indexOfTopLevelItem(clicked), 0));
}

void DragReorder::mouseMoved(const QPoint& position) {
    if (!app::isBusy(&window))
        window.setCursor(Qt::ArrowCursor);
    QTreeWidgetItem* dragged = itemAt(DragItem);
    QTreeWidgetItem* hovered = list->itemAt(position);
    if (!dragged || !hovered || dragged->text(0) == hovered->text(0))
        return;

    const QString draggedText = dragged->text(0);
    dragged->setText(0, hovered->text(0));
    hovered->setText(0, draggedText);
    list->setCurrentItem(hovered);
    const int hoveredRow = list->indexOfTopLevelItem(hovered);
    DragItem = QPersistentModelIndex(list->model()->index(hoveredRow, 0));

    // Near the list's own top or bottom edge, bring the next row into view so the drag can
    // go on past the visible rows.
    const int edge = list->visualItemRect(hovered).height();
    if (position.y() < edge && hoveredRow > 0)
        list->scrollToItem(list->topLevelItem(hoveredRow - 1));
    else if (position.y() > list->viewport()->height() - edge &&
             hoveredRow + 1 < list->topLevelItemCount())
        list->scrollToItem(list->topLevelItem(hoveredRow + 1));
}

void DragReorder::mouseReleased() {
    MouseIsDown = false;
    list->unsetCursor();
    // A later press on the empty area must not move the row dragged this time.
    DragItem = QPersistentModelIndex();
}

} // namespace filelist
