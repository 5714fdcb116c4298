#include "filelist/FolderScan.h"

#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "platform/Prompts.h"

namespace filelist {

std::optional<FolderScanRequest> askWhatToScan(platform::Prompts& prompts,
                                               const base::ErrorReport& errors) {
    QString extension;
    errors.step([&] {
        extension = prompts.inputBox(
            QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                           "files, doc for all doc files, etc.)"),
            QString(), base::readSetting(QStringLiteral("Extension"), QStringLiteral("pdf")));
    });
    if (extension.isEmpty())
        return std::nullopt;
    // Kept exactly as typed: a leading dot or capitals are the user's to choose.
    errors.step([&] { base::writeSetting(QStringLiteral("Extension"), extension); });

    QString lastFolder;
    errors.step([&] { lastFolder = base::readSetting(QStringLiteral("LastFolder"), QString()); });
    QString chosen;
    errors.step([&] {
        chosen = prompts.browseForFolder(QStringLiteral("Please select folder:"), lastFolder);
    });
    if (chosen.isEmpty())
        return std::nullopt;
    errors.step([&] { base::writeSetting(QStringLiteral("LastFolder"), chosen); });
    return FolderScanRequest{chosen, QStringLiteral("*.") + extension};
}

} // namespace filelist
