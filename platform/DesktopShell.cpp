#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

// File URLs, not command lines: nothing in a name is interpreted.

bool QtDesktopShell::openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool QtDesktopShell::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace platform
