#include "filelist/FolderTree.h"

#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderEntries.h"
#include "filelist/FolderWalk.h"
#include "filelist/PathCleanup.h"

#include <QElapsedTimer>

namespace filelist {

namespace {
// How often found rows go back to the window.
constexpr qint64 batchMs = 150;
} // namespace

QStringList rowsForFilesOfFolder(const QString& folder, const QString& pattern, LeftOut* leftOut) {
    constexpr int hiddenArchiveOnly = attributeHidden | attributeArchive;
    QStringList rows;
    // The listing has just found each file and read its attributes in one look-up; asking
    // the file system again a moment later would only double the cost of a large tree.
    for (const ListedFile& file : listFilesWithAttributes(folder, pattern)) {
        // A path too long for the system calls would be a row that nothing can open.
        const QString path = folder + QLatin1Char('/') + file.name;
        if (file.name.startsWith(QLatin1Char('~')) || file.attributes == hiddenArchiveOnly ||
            !fitsPathLimit(path)) {
            if (leftOut)
                ++leftOut->files;
            continue;
        }
        rows.append(collapseDoubledSeparators(path));
    }
    return rows;
}

void walkFolderTree(const QString& folder, const QString& pattern, const base::ErrorReport& errors,
                    const std::function<void(const QStringList&)>& take, LeftOut* leftOut,
                    const base::StopRequest* stop) {
    QStringList folders{folder + QLatin1Char('/')};
    errors.step([&] { collectSubfolders(folders, true, errors.sink(), leftOut, stop); });
    for (const QString& entry : std::as_const(folders)) {
        if (stop)
            stop->throwIfRequested();
        errors.step([&] { take(rowsForFilesOfFolder(entry.chopped(1), pattern, leftOut)); });
    }
}

QStringList filesOfFolderTree(const QString& folder, const QString& pattern,
                              const base::ErrorReport& errors, LeftOut* leftOut) {
    QStringList found;
    walkFolderTree(
        folder, pattern, errors, [&](const QStringList& rows) { found.append(rows); }, leftOut);
    return found;
}

FolderTreeScan::FolderTreeScan(QString folder, QString pattern, const base::ErrorReport& errors,
                               QObject* parent)
    : QObject(parent) {
    auto collected = std::make_shared<base::CollectedErrors>();
    base::ErrorSink* sink = &errors.sink();
    work = std::make_unique<base::BackgroundWork>(
        [this, folder, pattern, errors, collected, sink](base::BackgroundWork::Context& context) {
            // The walk reports to a sink of its own thread; the reports go on from the loop.
            const base::ErrorReport walking = errors.reportingTo(*collected);
            QStringList batch;
            QElapsedTimer sinceBatch;
            sinceBatch.start();
            const auto deliver = [&] {
                context.deliver([this, rows = std::exchange(batch, {}), collected, sink] {
                    collected->passOn(*sink);
                    if (!rows.isEmpty())
                        emit rowsFound(rows);
                });
                sinceBatch.restart();
            };
            try {
                walkFolderTree(
                    folder, pattern, walking,
                    [&](const QStringList& rows) {
                        batch.append(rows);
                        if (sinceBatch.elapsed() > batchMs)
                            deliver();
                    },
                    nullptr, &context.stop);
            } catch (const base::Stopped&) {
                // What was found so far still goes in.
            }
            deliver();
            return base::Status::success();
        });
    connect(work.get(), &base::BackgroundWork::finished, this, &FolderTreeScan::finished);
}

FolderTreeScan::~FolderTreeScan() = default;

void FolderTreeScan::start() {
    work->start();
}

void FolderTreeScan::stop() {
    work->stop();
}

} // namespace filelist
