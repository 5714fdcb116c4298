#pragma once

class QString;
class QWidget;

namespace gui {

// Windows are designed white. The desktop's button-face colour is given to a window and its
// plain controls (frames, check boxes, option buttons, labels) by the property dialog
// always, and by the main window when the skin file x/o.cjs is in the program folder.

// True when the program folder holds the skin file (a normal file, not a folder).
bool skinFileIsPresent(const QString& programFolder);

// Gives a window and its plain controls the desktop's button-face colour.
void applyWindowColours(QWidget* window);

} // namespace gui
