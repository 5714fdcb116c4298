#include "filelist/DroppedPaths.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/FolderTree.h"
#include "filelist/FolderWalk.h"
#include "platform/FileNames.h"

#include <QMimeData>
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

} // namespace filelist
