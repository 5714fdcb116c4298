#pragma once

#include <QColor>

class QString;
class QWidget;

namespace gui {

// Windows follow the desktop's palette, light or dark. The property dialog always, and the
// main window when the skin file x/o.cjs is in the program folder, take the desktop's
// button-face colour as their background; their text is then given a colour that reads on it.

// True when the program folder holds the skin file (a normal file, not a folder).
bool skinFileIsPresent(const QString& programFolder);

// Gives a window and its plain controls (frames, check boxes, labels) the desktop's
// button-face colour, and text that contrasts with it.
void applyWindowColours(QWidget* window);

// The contrast ratio of two colours as screen readers and style guides count it: 1 for the
// same luminance, 21 for black on white.
double contrastRatio(const QColor& first, const QColor& second);

// preferred when it reads on background (a ratio of at least 4.5), otherwise black or white,
// whichever contrasts more.
QColor readableTextColour(const QColor& background, const QColor& preferred);

} // namespace gui
