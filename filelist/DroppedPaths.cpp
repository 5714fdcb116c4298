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

DroppedPathsIntake::DroppedPathsIntake(base::FileListModel& list, const base::ErrorReport& report,
                                       QObject* parent)
    : QObject(parent), files(list), errors(report) {}

DroppedPathsIntake::~DroppedPathsIntake() = default;

void DroppedPathsIntake::add(const QStringList& paths) {
    pending.insert(pending.end(), paths.begin(), paths.end());
    if (!scan)
        takeNext();
}

void DroppedPathsIntake::stop() {
    pending.clear();
    scan.reset();
}

void DroppedPathsIntake::takeNext() {
    QStringList dropped; // dropped files in a row go in together
    while (!pending.empty() && !scan) {
        QString path = std::move(pending.front());
        pending.pop_front();
        bool folder = false;
        errors.step([&] { folder = isFolder(path); });
        if (!folder) {
            dropped.append(path);
            continue;
        }
        scan = std::make_unique<FolderTreeScan>(path, QStringLiteral("*.*"), errors);
        connect(scan.get(), &FolderTreeScan::rowsFound, this,
                [this](const QStringList& rows) { files.append(rows); });
        connect(scan.get(), &FolderTreeScan::finished, this, [this] {
            scan.release()->deleteLater();
            takeNext();
        });
    }
    errors.step([&] { files.append(dropped); });
    if (scan)
        scan->start();
    emit busyChanged(scan != nullptr);
}

} // namespace filelist
