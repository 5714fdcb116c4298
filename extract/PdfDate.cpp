#include "extract/PdfDate.h"

#include "platform/DateTimeFormats.h"

#include <optional>

namespace extract {

namespace {

// Characters first..last (counted from 1) of value as a whole number; nothing when they are
// missing or not all ASCII digits.
std::optional<int> wholeNumberAt(const QString& value, int first, int last) {
    const QString digits = value.mid(first - 1, last - first + 1);
    bool ok = !digits.isEmpty();
    for (QChar c : digits)
        ok = ok && c.isDigit() && c.unicode() < 128;
    if (!ok)
        return std::nullopt;
    return digits.toInt();
}

QString notANumber(const char* part, const QString& value) {
    return QStringLiteral("Type mismatch: the %1 of the date \"%2\" is not a number.")
        .arg(QLatin1String(part), value);
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

base::Result<PdfDateText> convertPdfDate(const QString& value, const QLocale& locale) {
    const auto year = wholeNumberAt(value, 3, 6);
    const auto month = wholeNumberAt(value, 7, 8);
    const auto day = wholeNumberAt(value, 9, 10);
    if (!year || !month || !day)
        return base::Result<PdfDateText>::failure(notANumber(!year    ? "year"
                                                             : !month ? "month"
                                                                      : "day",
                                                             value));
    const QDate date = carriedDate(*year, *month, *day);
    if (!date.isValid())
        return base::Result<PdfDateText>::failure(
            QStringLiteral("The date \"%1\" is out of range.").arg(value));
    PdfDateText result;
    result.text = locale.toString(date, platform::shortDateFormatWithFullYear(locale));
    if (value.size() <= 10)
        return result;
    const auto hours = wholeNumberAt(value, 11, 12);
    const auto minutes = wholeNumberAt(value, 13, 14);
    const auto seconds = wholeNumberAt(value, 15, 16);
    if (!hours || !minutes || !seconds) {
        result.timeError = notANumber(!hours ? "hour" : !minutes ? "minute" : "second", value);
        return result;
    }
    const QTime time = carriedTime(*hours, *minutes, *seconds);
    result.text +=
        QLatin1Char(' ') + locale.toString(time, platform::longTimeFormatWithoutZone(locale));
    return result;
}

} // namespace extract
