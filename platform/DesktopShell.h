#pragma once

#include <QString>

namespace platform {

// The desktop's shell: opens folders in the file manager the user has chosen. Tests install
// a recording double, so that no test ever opens a real file manager.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // Opens the folder in the desktop's file manager; false when no file manager could be
    // started for it.
    virtual bool openFolder(const QString& folder) = 0;
};

// The shell in force: the installed one, or the desktop's own when none is installed.
DesktopShell& desktopShell();
// Installs a shell for the whole program (not owned); nullptr goes back to the desktop's.
void installDesktopShell(DesktopShell* shell);

} // namespace platform
