// The folder scan of the main window: "1. Add All PDF File(s) In Folder".
#include "app/MainWindow.h"
#include "base/ErrorReport.h"
#include "filelist/FolderScan.h"
#include "filelist/FolderTree.h"

namespace app {

void MainWindow::scanFolder(const base::ErrorReport& errors) {
    // One scan at a time; anything else may go on meanwhile.
    if (scan)
        return;
    const std::optional<filelist::FolderScanRequest> request =
        filelist::askWhatToScan(services.prompts, errors);
    if (!request)
        return;
    scan = std::make_unique<filelist::FolderTreeScan>(request->folder, request->pattern, errors);
    connect(scan.get(), &filelist::FolderTreeScan::rowsFound, this,
            [this](const QStringList& rows) { files.append(rows); });
    connect(scan.get(), &filelist::FolderTreeScan::finished, this, [this] { scanEnded(); });
    scan->start();
    showBusyState();
}

void MainWindow::scanEnded() {
    scan.release()->deleteLater();
    showBusyState();
}

} // namespace app
