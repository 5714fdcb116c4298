#pragma once

#include <QStringList>

class QTreeWidget;

namespace app {
class Form1;
}

namespace filelist {

// Attaches the file list's handlers to the main window: adding files by dialog, by folder
// scan, by drag and drop and from the samples, removing a row by double-click, clearing the
// list, reordering rows by dragging, and recording the sample files at start-up.
void attachFileList(app::Form1& window);

// "1. Add PDF File(s)": the open-file dialog, several files at once.
void PushButton7_Click(app::Form1& window);
// Double-click on the list: removes the selected row, unless the window is busy.
void ListView1_DblClick(app::Form1& window);
// "Clear List": removes every row, unless the window is busy.
void PushButton8_Click(app::Form1& window);

// Appends one row per path, in order.
void appendRows(QTreeWidget* list, const QStringList& paths);

// The rows a dialog answer adds: one file as returned, several each cleaned up.
QStringList rowsForChosenFiles(const QStringList& chosen);

} // namespace filelist
