#pragma once

#include <QString>

namespace platform {

// The desktop's shell: opens folders in the file manager the user has chosen, and files in
// the application chosen for their type. Tests pass a recording double, so that no test ever
// opens a real file manager.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // Opens the folder in the desktop's file manager; false when no file manager could be
    // started for it.
    virtual bool openFolder(const QString& folder) = 0;
    // Opens the file in the desktop's application for its type; false when none could be
    // started for it.
    virtual bool openFile(const QString& path) = 0;
};

// The desktop's own shell.
class QtDesktopShell final : public DesktopShell {
public:
    bool openFolder(const QString& folder) override;
    bool openFile(const QString& path) override;
};

} // namespace platform
