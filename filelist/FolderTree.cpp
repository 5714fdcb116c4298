#include "filelist/FolderTree.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/FileListModel.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderEntries.h"
#include "filelist/FolderWalk.h"
#include "filelist/PathCleanup.h"
#include "filelist/PendingRows.h"

namespace filelist {

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

namespace {

// Walks the tree, handing the rows of each folder on as they are found.
template <typename Take>
void walkFolderTree(const QString& folder, const QString& pattern, const base::ErrorReport& errors,
                    LeftOut* leftOut, Take take) {
    QStringList folders{folder + QLatin1Char('/')};
    errors.step([&] { collectSubfolders(folders, true, leftOut); });
    for (const QString& entry : std::as_const(folders)) {
        errors.step([&] { take(rowsForFilesOfFolder(entry.chopped(1), pattern, leftOut)); });
        base::letEventsRun();
    }
}

} // namespace

void appendFilesOfFolderTree(base::FileListModel& files, const QString& folder,
                             const QString& pattern, const base::ErrorReport& errors) {
    PendingRows rows(files);
    walkFolderTree(folder, pattern, errors, nullptr,
                   [&](const QStringList& found) { rows.add(found); });
    errors.step([&] { rows.flush(); });
}

QStringList filesOfFolderTree(const QString& folder, const QString& pattern,
                              const base::ErrorReport& errors, LeftOut* leftOut) {
    QStringList found;
    walkFolderTree(folder, pattern, errors, leftOut,
                   [&](const QStringList& rows) { found.append(rows); });
    return found;
}

} // namespace filelist
