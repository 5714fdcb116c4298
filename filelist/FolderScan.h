#pragma once

namespace base {
class BusyState;
class ErrorReport;
class FileListModel;
} // namespace base

namespace filelist {

// "1. Add All PDF File(s) In Folder": asks for an extension and a folder, remembers both,
// and appends every file of that extension in the folder's whole tree, busy meanwhile.
// A failing step is reported by errors and the scan goes on.
void addFolderByDialog(base::FileListModel& files, base::BusyState& busy,
                       const base::ErrorReport& errors);

} // namespace filelist
