#include "gui/ModalWindows.h"

#include "gui/QtPrompts.h"

namespace gui {

namespace {
ModalWindows* installed = nullptr;
}

ModalWindows& modalWindows() {
    if (installed)
        return *installed;
    static QtPrompts qtPrompts;
    return qtPrompts;
}

void installModalWindows(ModalWindows* windows) {
    installed = windows;
}

} // namespace gui
