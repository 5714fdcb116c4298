#pragma once

#include <QList>
#include <QSize>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTreeView;
class QWidget;

namespace gui {
class TextProgressBar;
}

namespace app {

// The controls of the main window. Their object names are the names of the window's design
// ("PushButton3"), which tests and the README's table of controls use; the controls added
// since carry names that say what they are.
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
    QSplitter* splitter = nullptr;            // Splitter: the file list's part, the results'
    QLineEdit* filter = nullptr;              // ResultsFilter
    QCheckBox* onlyUnread = nullptr;          // OnlyUnreadFiles
    QTreeView* results = nullptr;             // ListView2
    QLabel* status = nullptr;                 // StatusLine
    QPushButton* saveText = nullptr;          // PushButton1
    QPushButton* saveWorkbook = nullptr;      // PushButton13
    QPushButton* copyToClipboard = nullptr;   // PushButton2
    QPushButton* clearResults = nullptr;      // PushButton5
    gui::TextProgressBar* progress = nullptr; // ProgressBar1
    QPushButton* stop = nullptr;              // StopButton

    // The window's push buttons, in keyboard order.
    QList<QPushButton*> buttons() const;
};

// Makes the controls on window in Qt layouts, in their keyboard order (top left to bottom
// right), with the design's fonts and captions, each button and check box with a mnemonic of
// its own.
MainWindowControls makeMainWindowControls(QWidget* window);

// The client size the window is designed for (8040 by 8385 twips): its first size.
QSize designedSize();

} // namespace app
