#include "extract/PdfDate.h"

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

// The offset from UTC that a date's zone part names: "Z", or a sign, hours and optional
// minutes ("+02'00'", "-0530", "+02"); nothing when there is none or it cannot be read.
std::optional<int> zoneOffset(const QString& zone) {
    if (zone.startsWith(QLatin1Char('Z')))
        return 0;
    if (zone.size() < 3 || (zone[0] != QLatin1Char('+') && zone[0] != QLatin1Char('-')))
        return std::nullopt;
    const auto hours = wholeNumberAt(zone, 2, 3);
    if (!hours || *hours > 23)
        return std::nullopt;
    const qsizetype minutesAt = zone.size() > 3 && zone[3] == QLatin1Char('\'') ? 5 : 4;
    const auto minutes =
        wholeNumberAt(zone, static_cast<int>(minutesAt), static_cast<int>(minutesAt) + 1);
    const int offset = *hours * 3600 + (minutes && *minutes < 60 ? *minutes * 60 : 0);
    return zone[0] == QLatin1Char('-') ? -offset : offset;
}

int floorDivide(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The date of a "D:" date text by the positions of its parts; messages quote value, the date
// as it was written.
base::Result<PdfDateReading> readDateText(const QString& text, const QString& value) {
    const auto year = wholeNumberAt(text, 3, 6);
    const auto month = wholeNumberAt(text, 7, 8);
    const auto day = wholeNumberAt(text, 9, 10);
    if (!year || !month || !day)
        return base::Result<PdfDateReading>::failure(notANumber(!year    ? "year"
                                                                : !month ? "month"
                                                                         : "day",
                                                                value));
    const QDate date = carriedDate(*year, *month, *day);
    if (!date.isValid())
        return base::Result<PdfDateReading>::failure(
            QStringLiteral("The date \"%1\" is out of range.").arg(value));
    PdfDateReading reading;
    reading.moment.kind = base::DateTimeValue::Kind::DocumentDate;
    reading.moment.date = date;
    if (text.size() <= 10)
        return reading;
    const auto hours = wholeNumberAt(text, 11, 12);
    const auto minutes = wholeNumberAt(text, 13, 14);
    const auto seconds = wholeNumberAt(text, 15, 16);
    if (!hours || !minutes || !seconds) {
        reading.timeError = notANumber(!hours ? "hour" : !minutes ? "minute" : "second", value);
        return reading;
    }
    reading.moment.kind = base::DateTimeValue::Kind::DocumentDateTime;
    reading.moment.time = carriedTime(*hours, *minutes, *seconds);
    reading.moment.offsetSeconds = zoneOffset(text.mid(16));
    return reading;
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

base::Result<PdfDateReading> readPdfDate(const QString& value) {
    // Some writers leave out the "D:". Such a date starts with its year; read by the positions
    // of a date with the prefix, it would come out two characters off: in another century,
    // with its time not a number.
    const bool bare =
        !value.isEmpty() && value[0] >= QLatin1Char('0') && value[0] <= QLatin1Char('9');
    return readDateText(bare ? QStringLiteral("D:") + value : value, value);
}

} // namespace extract
