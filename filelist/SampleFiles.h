#pragma once

#include <QString>

class QTreeWidget;

namespace app {
class Form1;
}

namespace filelist {

// Records the files of the program folder's Samples/ under "Snapshot", scrambled. Start-up
// calls it while none are recorded.
void RecordSampleFiles();

// Adds the recorded sample files that still exist and are not listed yet, then asks whether
// to open the samples folder in the desktop's file manager (every time, also when nothing
// was added).
void LoadSampleFiles(QTreeWidget* list);

// True when a row's text equals text exactly, letter case included.
bool ListContainsText(const QTreeWidget* list, const QString& text);

// "Load Sample/Example Files".
void PushButton9_Click(app::Form1& window);

} // namespace filelist
