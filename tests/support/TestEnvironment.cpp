#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace testsupport {

void isolateEnvironment() {
    static QTemporaryDir home;
    const QString root = home.path();
    for (const char* folder : {"config", "runtime", "cache", "data"})
        QDir(root).mkpath(QLatin1String(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void clearSettings() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvane"),
                       QStringLiteral("Parvilon"));
    settings.clear();
    settings.sync();
}

QString settingsFileText() {
    QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvane/Parvilon.conf"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString sourceDir() {
    const QString fromEnvironment = qEnvironmentVariable("PARVILON_SOURCE_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(PARVILON_SOURCE_DIR) : fromEnvironment;
}

} // namespace testsupport
