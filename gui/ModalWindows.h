#pragma once

class QDialog;

namespace gui {

// Shows the program's own windows (the property dialog) modally. The running program shows
// them on screen; tests act on them without showing them.
class ModalWindows {
public:
    virtual ~ModalWindows() = default;
    // Shows dialog modally and returns when it has closed.
    virtual void showModal(QDialog& dialog) = 0;
};

} // namespace gui
