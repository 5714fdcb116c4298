#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {
class QtDesktopShell final : public DesktopShell {
public:
    bool openFolder(const QString& folder) override {
        // A file URL, not a command line: nothing in the folder's name is interpreted.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
};

DesktopShell* installed = nullptr;
} // namespace

DesktopShell& desktopShell() {
    if (installed)
        return *installed;
    static QtDesktopShell desktop;
    return desktop;
}

void installDesktopShell(DesktopShell* shell) {
    installed = shell;
}

} // namespace platform
