#pragma once

#include <QStringList>

namespace base {
class ErrorReport;
class FileListModel;
} // namespace base

namespace platform {
class Prompts;
}

namespace filelist {

// "1. Add PDF File(s)": the open-file dialog, several files at once, appended in the order
// the dialog returns them.
void addFilesByDialog(base::FileListModel& files, platform::Prompts& prompts,
                      const base::ErrorReport& errors);

// The rows a dialog answer adds: one file as returned, several each cleaned up.
QStringList rowsForChosenFiles(const QStringList& chosen);

} // namespace filelist
