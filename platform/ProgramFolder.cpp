#include "platform/ProgramFolder.h"

#include <QCoreApplication>

namespace platform {

namespace {
QString overridden;
}

QString programFolder() {
    return overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden;
}

void overrideProgramFolder(const QString& folder) {
    overridden = folder;
}

} // namespace platform
