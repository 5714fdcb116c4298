#pragma once

class QWidget;

namespace app {

class Form1;

// With the skin file x/o.cjs in the program folder, the main window and its plain controls
// (frames, check boxes, option buttons, labels) take the desktop's button-face colour;
// without it they keep their white design.
void ApplySkin(Form1& window);

// Gives a window and its plain controls the desktop's button-face colour.
void ApplyWindowColours(QWidget* window);

} // namespace app
