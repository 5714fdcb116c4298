#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace platform {

SystemFolders::SystemFolders() = default;
SystemFolders::~SystemFolders() = default;

QString SystemFolders::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString SystemFolders::privateTempFolder() {
    if (!temporary)
        temporary =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/parvilon-XXXXXX"));
    return temporary->isValid() ? temporary->path() : QString();
}

} // namespace platform
