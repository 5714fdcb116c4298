#include "filelist/FileDialogIntake.h"

#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/PathCleanup.h"
#include "platform/Prompts.h"

namespace filelist {

QStringList rowsForChosenFiles(const QStringList& chosen) {
    if (chosen.size() == 1)
        return chosen;
    QStringList rows;
    rows.reserve(chosen.size());
    for (const QString& path : chosen)
        rows.append(collapseDoubledSeparators(path));
    return rows;
}

void addFilesByDialog(base::FileListModel& files, const base::ErrorReport& errors) {
    QStringList chosen;
    errors.step([&] {
        chosen = platform::prompts().openFiles(
            QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"),
            QStringLiteral("All Files (*.pdf)"));
    });
    chosen.removeAll(QString());
    if (chosen.isEmpty())
        return;
    errors.step([&] { files.append(rowsForChosenFiles(chosen)); });
}

void removeFileUnlessBusy(base::FileListModel& files, int row, const base::BusyState& busy) {
    if (!busy.isBusy())
        files.removeAt(row);
}

void clearFilesUnlessBusy(base::FileListModel& files, const base::BusyState& busy,
                          const base::ErrorReport& errors) {
    if (!busy.isBusy())
        errors.step([&] { files.clear(); });
}

} // namespace filelist
