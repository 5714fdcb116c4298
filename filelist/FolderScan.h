#pragma once

#include <QString>

#include <optional>

namespace base {
class ErrorReport;
}

namespace platform {
class Prompts;
}

namespace filelist {

// What the folder scan is to walk: a folder, and the wildcard pattern of the files it adds.
struct FolderScanRequest {
    QString folder;
    QString pattern;
};

// "1. Add All PDF File(s) In Folder", its questions: the extension (offered as last typed,
// remembered when not empty) and the folder (opening on the last one, remembered when
// chosen). Nothing when the user cancels either. A failing step is reported by errors and
// the questions go on.
std::optional<FolderScanRequest> askWhatToScan(platform::Prompts& prompts,
                                               const base::ErrorReport& errors);

} // namespace filelist
