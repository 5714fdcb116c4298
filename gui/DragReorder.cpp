#include "gui/DragReorder.h"

#include "base/FileListModel.h"
#include "gui/CursorFile.h"

#include <QAbstractItemView>
#include <QMouseEvent>

namespace gui {

DragReorder::DragReorder(QAbstractItemView* list, base::FileListModel& model, const QString& folder,
                         std::function<void()> doubleClicked)
    : QObject(list), view(list), files(model), viewport(list->viewport()), programFolder(folder),
      onDoubleClick(std::move(doubleClicked)) {
    // Moving a pressed row reorders the list; it never starts a transfer out of it.
    view->setDragEnabled(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    viewport->installEventFilter(this);
}

bool DragReorder::eventFilter(QObject* watched, QEvent* event) {
    // The view may be half destroyed when its viewport's last events arrive: compare with the
    // viewport kept from construction, and touch the view only for mouse events.
    if (watched != viewport)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePressed(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false; // the view still selects the pressed row
    case QEvent::MouseMove:
        if (!mouseIsDown)
            return false;
        mouseMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true; // the rows move; the view must not drag a selection as well
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
    mouseIsDown = true;
    const QModelIndex clicked = view->indexAt(position);
    if (!clicked.isValid())
        return;
    // A row click: the row becomes the one being dragged, shown with the drag cursor.
    if (auto cursor = gui::cursorFromFile(programFolder + QStringLiteral("/drag.ico")))
        view->setCursor(*cursor);
    draggedRow = QPersistentModelIndex(clicked.siblingAtColumn(0));
}

void DragReorder::mouseMoved(const QPoint& position) {
    const QModelIndex hovered = view->indexAt(position);
    if (!draggedRow.isValid() || !hovered.isValid())
        return;
    const int from = draggedRow.row();
    const int to = hovered.row();
    const QString draggedPath = files.path(from);
    if (draggedPath == files.path(to))
        return;
    files.setPath(from, files.path(to));
    files.setPath(to, draggedPath);
    const QModelIndex now = files.index(to, 0);
    view->setCurrentIndex(now);
    draggedRow = QPersistentModelIndex(now);

    // Near the view's own top or bottom edge, bring the next row into view so the drag can
    // go on past the visible rows.
    const int edge = view->visualRect(now).height();
    if (position.y() < edge && to > 0)
        view->scrollTo(files.index(to - 1, 0));
    else if (position.y() > viewport->height() - edge && to + 1 < files.count())
        view->scrollTo(files.index(to + 1, 0));
}

void DragReorder::mouseReleased() {
    mouseIsDown = false;
    view->unsetCursor();
    // A later press on the empty area must not move the row dragged this time.
    draggedRow = QPersistentModelIndex();
}

} // namespace gui
