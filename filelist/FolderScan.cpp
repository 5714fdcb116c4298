#include "filelist/FolderScan.h"

#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "app/Settings.h"
#include "filelist/AddFolder.h"
#include "filelist/FolderTree.h"
#include "platform/Prompts.h"

namespace filelist {

void PushButton4_Click(app::Form1& window) {
    app::ErrorReport errors(QStringLiteral("Form1.PushButton4_Click"));

    QString extension;
    errors.step([&] {
        extension = platform::prompts().inputBox(
            QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                           "files, doc for all doc files, etc.)"),
            QString(), app::ReadSetting(QStringLiteral("Extension"), QStringLiteral("pdf")));
    });
    if (extension.isEmpty())
        return;
    // Kept exactly as typed: a leading dot or capitals are the user's to choose.
    errors.step([&] { app::WriteSetting(QStringLiteral("Extension"), extension); });

    QString lastFolder;
    errors.step([&] { lastFolder = app::ReadSetting(QStringLiteral("LastFolder"), QString()); });
    QString chosen;
    errors.step(
        [&] { chosen = BrowseForFolder(QStringLiteral("Please select folder:"), lastFolder); });
    if (chosen.isEmpty())
        return;
    errors.step([&] { app::WriteSetting(QStringLiteral("LastFolder"), chosen); });

    app::BusyScope busy(&window);
    appendFilesOfFolderTree(window.ListView1, chosen, QStringLiteral("*.") + extension, errors);
}

} // namespace filelist
