#include "filelist/FolderScan.h"

#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "filelist/FolderTree.h"
#include "platform/Prompts.h"

namespace filelist {

void addFolderByDialog(base::FileListModel& files, base::BusyState& busy,
                       const base::ErrorReport& errors) {
    QString extension;
    errors.step([&] {
        extension = platform::prompts().inputBox(
            QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                           "files, doc for all doc files, etc.)"),
            QString(), base::readSetting(QStringLiteral("Extension"), QStringLiteral("pdf")));
    });
    if (extension.isEmpty())
        return;
    // Kept exactly as typed: a leading dot or capitals are the user's to choose.
    errors.step([&] { base::writeSetting(QStringLiteral("Extension"), extension); });

    QString lastFolder;
    errors.step([&] { lastFolder = base::readSetting(QStringLiteral("LastFolder"), QString()); });
    QString chosen;
    errors.step([&] {
        chosen = platform::prompts().browseForFolder(QStringLiteral("Please select folder:"),
                                                     lastFolder);
    });
    if (chosen.isEmpty())
        return;
    errors.step([&] { base::writeSetting(QStringLiteral("LastFolder"), chosen); });

    const base::BusyScope busyScope(busy);
    appendFilesOfFolderTree(files, chosen, QStringLiteral("*.") + extension, errors);
}

} // namespace filelist
