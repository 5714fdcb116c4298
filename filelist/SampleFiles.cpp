#include "filelist/SampleFiles.h"

#include "base/FileListModel.h"
#include "base/PathHelpers.h"
#include "base/RunTimeError.h"
#include "base/Services.h"
#include "base/Settings.h"
#include "filelist/FolderWalk.h"
#include "filelist/SnapshotText.h"
#include "platform/DesktopShell.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"

namespace filelist {

void recordSampleFiles(const platform::Folders& folders) {
    const QString samples = folders.programFolder() + QStringLiteral("/Samples/");
    QStringList paths;
    for (const QString& name : listFilesInFolder(samples, QStringLiteral("*.*")))
        paths.append(samples + name);
    base::writeSetting(QStringLiteral("Snapshot"), scrambleSnapshot(joinSampleList(paths)));
}

void loadSampleFiles(base::FileListModel& files, const base::Services& services) {
    // The recorded paths are absolute: after the program folder has moved they point to the
    // old place and nothing is added, but the question is still asked.
    const QStringList paths =
        splitSampleList(unscrambleSnapshot(base::readSetting(QStringLiteral("Snapshot"), {})));
    for (const QString& path : paths)
        if (base::fileIsPresent(path) && !files.contains(path))
            files.append({path});
    if (!services.prompts.askYesNo(
            QStringLiteral("Would you like this software to open the folder where these sample "
                           "files are stored (so that you can view them before working with "
                           "them)?")))
        return;
    const QString folder = services.folders.programFolder() + QStringLiteral("/Samples/");
    if (!services.shell.openFolder(folder))
        throw base::RunTimeError(
            QStringLiteral("The folder %1 could not be opened: no file manager could be started.")
                .arg(folder));
}

} // namespace filelist
