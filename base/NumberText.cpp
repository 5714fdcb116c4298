#include "base/NumberText.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace base {

Result<double> numberFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return Result<double>::failure(
            QStringLiteral("Type mismatch: \"%1\" is not a number.").arg(text));
    return value;
}

Result<int> smallIntegerFromText(const QString& text) {
    const Result<double> number = numberFromText(text);
    if (!number.ok())
        return Result<int>::failure(number.error());
    const double rounded = std::nearbyint(number.value()); // default mode: half to even
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return Result<int>::failure(QStringLiteral("Overflow: \"%1\" is too large.").arg(text));
    return static_cast<int>(rounded);
}

} // namespace base
