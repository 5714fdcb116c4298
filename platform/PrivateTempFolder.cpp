#include "platform/PrivateTempFolder.h"

#include <QDir>
#include <QTemporaryDir>

namespace platform {

QString privateTempFolder() {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/parvilon-XXXXXX"));
    return folder.isValid() ? folder.path() : QString();
}

} // namespace platform
