#include "platform/PrivateTempFolder.h"

#include <QDir>
#include <QTemporaryDir>

namespace platform {

namespace {
std::optional<QString> overridden;
}

QString privateTempFolder() {
    if (overridden)
        return *overridden;
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/parvilon-XXXXXX"));
    return folder.isValid() ? folder.path() : QString();
}

void overridePrivateTempFolder(std::optional<QString> folder) {
    overridden = std::move(folder);
}

} // namespace platform
