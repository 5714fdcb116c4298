#pragma once

#include <QMargins>
#include <QRect>

namespace app {

// A window's outer rectangle (its frame included) moved, and shrunk when it is larger, so
// that the whole of it lies within available (a screen's area without panels).
QRect fitWithin(const QRect& outer, const QRect& available);

// The room a window manager's frame takes around a window that has none yet: the title bar
// and the borders, as the style tells them.
QMargins expectedFrame(int titleBarHeight, int borderWidth);

} // namespace app
