#include "gui/DropIntake.h"

#include "base/EventPump.h"
#include "base/FileListModel.h"
#include "filelist/DroppedPaths.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QUrl>

namespace gui {

DropIntake::DropIntake(QAbstractItemView* view, base::FileListModel& model)
    : QObject(view), files(model), viewport(view->viewport()) {
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
        takeDrop(paths);
        return true;
    }
    default:
        return false;
    }
}

void DropIntake::takeDrop(const QStringList& paths) {
    const bool alreadyScheduled = !pending.isEmpty() || adding;
    pending.append(paths);
    if (!alreadyScheduled)
        QMetaObject::invokeMethod(
            this, [this] { base::runHandler([this] { addPendingDrops(); }); },
            Qt::QueuedConnection);
}

void DropIntake::addPendingDrops() {
    adding = true;
    const auto done = qScopeGuard([this] { adding = false; });
    while (!pending.isEmpty())
        filelist::addDroppedPaths(files, std::exchange(pending, {}));
}

} // namespace gui
