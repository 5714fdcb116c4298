#include "filelist/DropIntake.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/FolderTree.h"
#include "filelist/FolderWalk.h"
#include "platform/FileNames.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QUrl>

namespace filelist {

namespace {

// The path of a local file URL with its bytes as they were: the percent-encoded bytes of a
// name that is not UTF-8 are carried as such (platform/FileNames.h), where QUrl would make
// them replacement marks and the path one that does not exist.
QString localPathOf(const QUrl& url) {
    return platform::decodeFileName(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace

QStringList droppedPaths(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? localPathOf(url) : QString();
        if (path.isEmpty())
            return {}; // a list that is not wholly local files is not a list of files
        paths.append(path);
    }
    return paths;
}

void addDroppedPaths(base::FileListModel& files, const QStringList& paths) {
    const base::ErrorReport errors(QStringLiteral("Form1.ListView1_OLEDragDrop"));
    QStringList dropped; // dropped files in a row go in together
    const auto addFiles = [&] {
        errors.step([&] { files.append(dropped); });
        dropped.clear();
    };
    for (const QString& path : paths) {
        if (!isFolder(path)) {
            dropped.append(path);
            continue;
        }
        addFiles();
        appendFilesOfFolderTree(files, path, QStringLiteral("*.*"), errors);
    }
    addFiles();
}

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
            this, [this] { base::runHandler([this] { addPendingDrops(); }); },
            Qt::QueuedConnection);
}

void DropIntake::addPendingDrops() {
    adding = true;
    const auto done = qScopeGuard([this] { adding = false; });
    while (!pending.isEmpty())
        addDroppedPaths(files, std::exchange(pending, {}));
}

} // namespace filelist
