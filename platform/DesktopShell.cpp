#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool QtDesktopShell::openFolder(const QString& folder) {
    // A file URL, not a command line: nothing in the folder's name is interpreted.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace platform
