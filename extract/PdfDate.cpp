#include "extract/PdfDate.h"

#include "app/RunTimeError.h"
#include "platform/DateTimeFormats.h"

namespace extract {

namespace {

// Characters first..last (counted from 1) of value as a whole number.
int wholeNumberAt(const QString& value, int first, int last, const char* part) {
    const QString digits = value.mid(first - 1, last - first + 1);
    bool ok = !digits.isEmpty();
    for (QChar c : digits)
        ok = ok && c.isDigit() && c.unicode() < 128;
    if (!ok)
        throw app::RunTimeError(
            QStringLiteral("Type mismatch: the %1 of the date \"%2\" is not a number.")
                .arg(QLatin1String(part), value));
    return digits.toInt();
}

int floorDivide(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

QDate carriedDate(int year, int month, int day) {
    const int monthsFromZero = month - 1;
    const int carriedYear = year + floorDivide(monthsFromZero, 12);
    const int carriedMonth = monthsFromZero - floorDivide(monthsFromZero, 12) * 12 + 1;
    return QDate(carriedYear, carriedMonth, 1).addDays(day - 1);
}

QTime carriedTime(int hours, int minutes, int seconds) {
    constexpr int secondsPerDay = 24 * 60 * 60;
    const qint64 total = qint64(hours) * 3600 + qint64(minutes) * 60 + seconds;
    const int ofDay = static_cast<int>(((total % secondsPerDay) + secondsPerDay) % secondsPerDay);
    return QTime(0, 0).addSecs(ofDay);
}

PdfDateText convertPdfDate(const QString& value, const QLocale& locale) {
    const QDate date =
        carriedDate(wholeNumberAt(value, 3, 6, "year"), wholeNumberAt(value, 7, 8, "month"),
                    wholeNumberAt(value, 9, 10, "day"));
    if (!date.isValid())
        throw app::RunTimeError(QStringLiteral("The date \"%1\" is out of range.").arg(value));
    PdfDateText result;
    result.text = locale.toString(date, platform::shortDateFormatWithFullYear(locale));
    if (value.size() <= 10)
        return result;
    try {
        const QTime time = carriedTime(wholeNumberAt(value, 11, 12, "hour"),
                                       wholeNumberAt(value, 13, 14, "minute"),
                                       wholeNumberAt(value, 15, 16, "second"));
        result.text +=
            QLatin1Char(' ') + locale.toString(time, platform::longTimeFormatWithoutZone(locale));
    } catch (const app::RunTimeError& error) {
        result.timeError = QString::fromUtf8(error.what());
    }
    return result;
}

} // namespace extract
