#include "filelist/SampleFiles.h"

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "filelist/AddFolder.h"
#include "filelist/FileList.h"
#include "filelist/SnapshotText.h"
#include "platform/DesktopShell.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"

#include <QTreeWidget>

namespace filelist {

void RecordSampleFiles() {
    const QString samples = platform::programFolder() + QStringLiteral("/Samples/");
    QStringList paths;
    for (const QString& name : ListFilesInFolder(samples, QStringLiteral("*.*")))
        paths.append(samples + name);
    app::WriteSetting(QStringLiteral("Snapshot"), scrambleSnapshot(joinSampleList(paths)));
}

bool ListContainsText(const QTreeWidget* list, const QString& text) {
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        if (list->topLevelItem(row)->text(0) == text)
            return true;
    return false;
}

void LoadSampleFiles(QTreeWidget* list) {
    // The recorded paths are absolute: after the program folder has moved they point to the
    // old place and nothing is added, but the question is still asked.
    const QStringList paths =
        splitSampleList(unscrambleSnapshot(app::ReadSetting(QStringLiteral("Snapshot"), {})));
    for (const QString& path : paths)
        if (app::FileIsPresent(path) && !ListContainsText(list, path))
            appendRows(list, {path});
    if (platform::prompts().askYesNo(
            QStringLiteral("Would you like this software to open the folder where these sample "
                           "files are stored (so that you can view them before working with "
                           "them)?")))
        platform::desktopShell().openFolder(platform::programFolder() +
                                            QStringLiteral("/Samples/"));
}

void PushButton9_Click(app::Form1& window) {
    app::ErrorReport errors(QStringLiteral("Form1.PushButton9_Click"));
    errors.step([&] { LoadSampleFiles(window.ListView1); });
}

} // namespace filelist
