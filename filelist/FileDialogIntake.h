#pragma once

#include <QStringList>

namespace base {
class BusyState;
class ErrorReport;
class FileListModel;
} // namespace base

namespace filelist {

// "1. Add PDF File(s)": the open-file dialog, several files at once, appended in the order
// the dialog returns them.
void addFilesByDialog(base::FileListModel& files, const base::ErrorReport& errors);

// The rows a dialog answer adds: one file as returned, several each cleaned up.
QStringList rowsForChosenFiles(const QStringList& chosen);

// Double-click on the list: removes a row, unless busy (the list must not shrink under a
// run). A row number below 0 (nothing selected) does nothing.
void removeFileUnlessBusy(base::FileListModel& files, int row, const base::BusyState& busy);

// "Clear List": removes every row, unless busy.
void clearFilesUnlessBusy(base::FileListModel& files, const base::BusyState& busy,
                          const base::ErrorReport& errors);

} // namespace filelist
