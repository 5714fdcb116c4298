#include "gui/DropIntake.h"

#include "filelist/DroppedPaths.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>

namespace gui {

DropIntake::DropIntake(QAbstractItemView* view, filelist::DroppedPathsIntake& paths)
    : QObject(view), intake(paths), viewport(view->viewport()) {
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
}

bool DropIntake::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
        draggingFiles =
            !filelist::droppedPaths(static_cast<QDragEnterEvent*>(event)->mimeData()).isEmpty();
        [[fallthrough]];
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (draggingFiles)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::DragLeave:
        draggingFiles = false;
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        draggingFiles = false;
        const QStringList paths = filelist::droppedPaths(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        QMetaObject::invokeMethod(
            this, [this, paths] { intake.add(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace gui
