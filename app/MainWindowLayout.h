#pragma once

#include <QList>
#include <QSize>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTreeView;
class QWidget;

namespace gui {
class TextProgressBar;
}

namespace app {

// The controls of the main window. Their object names are the names of the window's design
// ("PushButton3"), which tests and the README's table of controls use.
struct MainWindowControls {
    QTreeView* fileList = nullptr;            // ListView1
    QPushButton* addFiles = nullptr;          // PushButton7, "1. Add PDF File(s)"
    QPushButton* addFolder = nullptr;         // PushButton4
    QPushButton* clearList = nullptr;         // PushButton8
    QPushButton* addSamples = nullptr;        // PushButton9
    QPushButton* chooseProperties = nullptr;  // PushButton6
    QPushButton* startExtraction = nullptr;   // PushButton3
    QGroupBox* optionFrame = nullptr;         // Frame1
    QCheckBox* askForPasswords = nullptr;     // Check1
    QTreeView* results = nullptr;             // ListView2
    QPushButton* saveText = nullptr;          // PushButton1
    QPushButton* saveWorkbook = nullptr;      // PushButton13
    QPushButton* copyToClipboard = nullptr;   // PushButton2
    QPushButton* clearResults = nullptr;      // PushButton5
    gui::TextProgressBar* progress = nullptr; // ProgressBar1

    QList<QPushButton*> buttons() const;
};

// Makes the controls on window, in their keyboard order, with the design's fonts, colours
// and captions.
MainWindowControls makeMainWindowControls(QWidget* window);

// The client size the window is designed for (8040 by 8385 twips).
QSize designedSize();

// Places the controls for a window of the given size: at the designed size exactly where the
// design puts them. A larger window gives the extra height to the two lists, half each, and
// the extra width to every control, the two columns of buttons keeping their rows.
// The file list's one column follows too, so that long paths use the room.
void placeMainWindowControls(const MainWindowControls& controls, QSize size);

// The width of the file list's column in a window of the given size: its designed width,
// plus whatever the window is wider than designed.
int fileListColumnWidth(QSize size);

} // namespace app
