#include "filelist/FileDialogIntake.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/PathHelpers.h"
#include "filelist/PathCleanup.h"
#include "platform/Prompts.h"

namespace filelist {

namespace {

// A dialog shows a name whose bytes are not UTF-8 with replacement marks and returns it so:
// a path that names no file. Such a file is left out, and said so, rather than listed as
// a file that is not there.
bool nameWasLostByDialog(const QString& path) {
    return path.contains(QChar::ReplacementCharacter) && !base::fileIsPresent(path);
}

QString lostNamesMessage(int lost) {
    return (lost == 1 ? QStringLiteral("1 chosen file was not added")
                      : QStringLiteral("%1 chosen files were not added").arg(lost)) +
           QStringLiteral(": the file dialog cannot pass on names that are not UTF-8 text.\r\r"
                          "Add them with \"1. Add All PDF File(s) In Folder\" or by dragging "
                          "them onto the list.");
}

} // namespace

QStringList rowsForChosenFiles(const QStringList& chosen) {
    if (chosen.size() == 1)
        return chosen;
    QStringList rows;
    rows.reserve(chosen.size());
    for (const QString& path : chosen)
        rows.append(collapseDoubledSeparators(path));
    return rows;
}

void addFilesByDialog(base::FileListModel& files, platform::Prompts& prompts,
                      const base::ErrorReport& errors) {
    QStringList chosen;
    errors.step([&] {
        chosen =
            prompts.openFiles(QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"),
                              QStringLiteral("All Files (*.pdf)"));
    });
    chosen.removeAll(QString());
    const int lost = static_cast<int>(chosen.removeIf(nameWasLostByDialog));
    if (lost > 0)
        errors.step([&] { prompts.message(lostNamesMessage(lost)); });
    if (chosen.isEmpty())
        return;
    errors.step([&] { files.append(rowsForChosenFiles(chosen)); });
}

} // namespace filelist
