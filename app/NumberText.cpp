#include "app/NumberText.h"

#include "app/ErrorReport.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace app {

double numberFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        throw RunTimeError(QStringLiteral("Type mismatch: \"%1\" is not a number.").arg(text));
    return value;
}

int smallIntegerFromText(const QString& text) {
    const double rounded = std::nearbyint(numberFromText(text)); // default mode: half to even
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        throw RunTimeError(QStringLiteral("Overflow: \"%1\" is too large.").arg(text));
    return static_cast<int>(rounded);
}

} // namespace app
