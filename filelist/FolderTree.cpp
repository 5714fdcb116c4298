#include "filelist/FolderTree.h"

#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "filelist/AddFolder.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderEntries.h"
#include "filelist/PathCleanup.h"
#include "filelist/PendingRows.h"

namespace filelist {

QStringList rowsForFilesOfFolder(const QString& folder, const QString& pattern) {
    constexpr int hiddenArchiveOnly = attributeHidden | attributeArchive;
    QStringList rows;
    // The listing has just found each file and read its attributes in one look-up; asking
    // the file system again a moment later would only double the cost of a large tree.
    for (const ListedFile& file : listFilesWithAttributes(folder, pattern)) {
        if (file.name.startsWith(QLatin1Char('~')) || file.attributes == hiddenArchiveOnly)
            continue;
        // A path too long for the system calls would be a row that nothing can open.
        const QString path = folder + QLatin1Char('/') + file.name;
        if (fitsPathLimit(path))
            rows.append(CollapseDoubleBackslashes(path));
    }
    return rows;
}

void appendFilesOfFolderTree(QTreeWidget* list, const QString& folder, const QString& pattern,
                             app::ErrorReport& errors) {
    QStringList folders{folder + QLatin1Char('/')};
    errors.step([&] { GetSubDirectories2016(folders, true); });
    PendingRows rows(list);
    for (const QString& entry : std::as_const(folders)) {
        errors.step([&] { rows.add(rowsForFilesOfFolder(entry.chopped(1), pattern)); });
        app::letEventsRun();
    }
    errors.step([&] { rows.flush(); });
}

} // namespace filelist
