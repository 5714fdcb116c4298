#include "base/Settings.h"

#include "base/RunTimeError.h"

#include <QSettings>

namespace base {

namespace {
QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvane"),
                     QStringLiteral("Parvilon"));
}
} // namespace

QString readSetting(const QString& key, const QString& defaultValue) {
    const QSettings settings = store();
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with an unquoted comma comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void writeSetting(const QString& key, const QString& text) {
    QSettings settings = store();
    settings.setValue(key, text);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RunTimeError(QStringLiteral("The setting %1 could not be stored in %2.")
                               .arg(key, settings.fileName()));
}

} // namespace base
