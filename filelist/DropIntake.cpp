#include "filelist/DropIntake.h"

#include "app/ErrorReport.h"
#include "filelist/AddFolder.h"
#include "filelist/FileList.h"
#include "filelist/FolderTree.h"

#include <QDropEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QUrl>

namespace filelist {

QStringList droppedPaths(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (path.isEmpty())
            return {}; // a list that is not wholly local files is not a list of files
        paths.append(path);
    }
    return paths;
}

void addDroppedPaths(QTreeWidget* list, const QStringList& paths) {
    app::ErrorReport errors(QStringLiteral("Form1.ListView1_OLEDragDrop"));
    QStringList files; // dropped files in a row go in together
    const auto addFiles = [&] {
        errors.step([&] { appendRows(list, files); });
        files.clear();
    };
    for (const QString& path : paths) {
        if (!IsFolder(path)) {
            files.append(path);
            continue;
        }
        addFiles();
        appendFilesOfFolderTree(list, path, QStringLiteral("*.*"), errors);
    }
    addFiles();
}

DropIntake::DropIntake(QTreeWidget* list) : QObject(list), list(list), viewport(list->viewport()) {
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
}

bool DropIntake::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
        draggingFiles = !droppedPaths(static_cast<QDragEnterEvent*>(event)->mimeData()).isEmpty();
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
        const QStringList paths = droppedPaths(drop->mimeData());
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
            this, [this] { app::runHandler([this] { addPendingDrops(); }); }, Qt::QueuedConnection);
}

void DropIntake::addPendingDrops() {
    adding = true;
    const auto done = qScopeGuard([this] { adding = false; });
    while (!pending.isEmpty())
        addDroppedPaths(list, std::exchange(pending, {}));
}

} // namespace filelist
