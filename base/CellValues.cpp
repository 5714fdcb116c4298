#include "base/CellValues.h"

#include "base/PropertySet.h"
#include "platform/DateTimeFormats.h"

namespace base {

namespace {

bool isDateHeader(const QString& header) {
    return header == modifiedHeader || header == createdHeader || header == accessedHeader;
}

// The length of the run of `c` starting at `at`.
qsizetype runLength(const QString& format, qsizetype at) {
    qsizetype end = at;
    while (end < format.size() && format[end] == format[at])
        ++end;
    return end - at;
}

// Literal text as a spreadsheet format shows it: quoted, since letters and many signs mean
// something there.
QString literal(const QString& text) {
    if (text.isEmpty())
        return {};
    QString quoted = text;
    quoted.remove(QLatin1Char('"'));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool isPlainSeparator(QChar c) {
    return QStringLiteral(" /:-.,").contains(c);
}

// A spreadsheet counts days from 1900; earlier dates can only be text.
bool fitsSpreadsheet(QDate date) {
    return date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

} // namespace

QString spreadsheetDateFormat(const QString& qtFormat) {
    QString result;
    QString pendingLiteral;
    const auto flushLiteral = [&] { result += literal(std::exchange(pendingLiteral, {})); };
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar c = qtFormat[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; two quotes in a row stand for one.
            qsizetype end = i + 1;
            while (end < qtFormat.size()) {
                if (qtFormat[end] == QLatin1Char('\'') && end + 1 < qtFormat.size() &&
                    qtFormat[end + 1] == QLatin1Char('\'')) {
                    pendingLiteral += QLatin1Char('\'');
                    end += 2;
                } else if (qtFormat[end] == QLatin1Char('\'')) {
                    break;
                } else {
                    pendingLiteral += qtFormat[end++];
                }
            }
            i = end + 1;
            continue;
        }
        const qsizetype run = runLength(qtFormat, i);
        QString code;
        switch (c.unicode()) {
        case 'd':
        case 'y':
        case 's':
        case 'm':
            code = QString(run, c);
            break;
        case 'M':
            code = QString(run, QLatin1Char('m'));
            break;
        case 'h':
        case 'H':
            code = QString(std::min<qsizetype>(run, 2), QLatin1Char('h'));
            break;
        case 'A':
        case 'a':
            // "AP" or "ap" (or a lone A) is the twelve-hour marker.
            code = QStringLiteral("AM/PM");
            if (run == 1 && i + 1 < qtFormat.size() &&
                qtFormat[i + 1].toLower() == QLatin1Char('p')) {
                i += 2;
                flushLiteral();
                result += code;
                continue;
            }
            break;
        case 't':
            i += run;
            continue;
        case 'z':
            i += run; // milliseconds are never shown in the table
            continue;
        default:
            if (isPlainSeparator(c))
                code = QString(c);
            break;
        }
        if (code.isEmpty()) {
            pendingLiteral += QString(run, c);
        } else {
            flushLiteral();
            result += code;
        }
        i += run;
    }
    flushLiteral();
    return result.trimmed();
}

CellValueReader::CellValueReader(const QLocale& forLocale) : locale(forLocale) {
    const QString dateFormat = platform::shortDateFormatWithFullYear(locale);
    for (const QString& timeFormat : {QString(), platform::longTimeFormatWithoutZone(locale),
                                      locale.timeFormat(QLocale::ShortFormat)}) {
        DateShape shape;
        shape.dateFormat = dateFormat;
        shape.timeFormat = timeFormat;
        const QString whole =
            timeFormat.isEmpty() ? dateFormat : dateFormat + QLatin1Char(' ') + timeFormat;
        shape.displayFormat = spreadsheetDateFormat(whole);
        bool quoted = false;
        for (qsizetype i = 0; i < whole.size();) {
            const QChar c = whole[i];
            if (c == QLatin1Char('\'')) {
                quoted = !quoted;
                ++i;
                continue;
            }
            const qsizetype run = quoted ? 1 : runLength(whole, i);
            if (!quoted) {
                if (QStringLiteral("yhHms").contains(c) ||
                    ((c == QLatin1Char('M') || c == QLatin1Char('d')) && run <= 2))
                    shape.fields += c == QLatin1Char('H') ? QLatin1Char('h') : c;
                else if (c == QLatin1Char('M'))
                    shape.monthName = run == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
                else if (c == QLatin1Char('z'))
                    shape.numeric = false;
                // A day's name (ddd, dddd) holds no number; the check by writing back sees it.
                else if (c == QLatin1Char('A') || c == QLatin1Char('a'))
                    shape.twelveHour = true;
            }
            i += run;
        }
        shapes.append(shape);
    }
}

bool CellValueReader::writesAs(const DateShape& shape, QDate date, QTime time,
                               const QString& text) const {
    const QString written = locale.toString(date, shape.dateFormat);
    if (shape.timeFormat.isEmpty())
        return written == text;
    return text.size() > written.size() && text.startsWith(written) &&
           text[written.size()] == QLatin1Char(' ') &&
           QStringView(text).mid(written.size() + 1) == locale.toString(time, shape.timeFormat);
}

// The numbers of the text, taken in the order of the shape's fields, then checked by
// writing the date back: the same text means the same date. Much faster than a locale's own
// reading, which matters for a table of a hundred thousand rows.
std::optional<CellValue> CellValueReader::readQuickly(const DateShape& shape,
                                                      const QList<int>& numbers,
                                                      const QString& text) const {
    if (!shape.numeric || numbers.size() != shape.fields.size())
        return std::nullopt;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        switch (shape.fields[i].unicode()) {
        case 'y':
            year = numbers[i];
            break;
        case 'M':
            month = numbers[i];
            break;
        case 'd':
            day = numbers[i];
            break;
        case 'h':
            hour = numbers[i];
            break;
        case 'm':
            minute = numbers[i];
            break;
        case 's':
            second = numbers[i];
            break;
        }
    }
    // A month written by name: every month whose name the text holds is a candidate.
    QList<int> months{month};
    if (shape.monthName) {
        months.clear();
        for (int candidate = 1; candidate <= 12; ++candidate)
            if (text.contains(locale.monthName(candidate, *shape.monthName)))
                months.append(candidate);
    }
    QList<int> hours{hour};
    if (shape.twelveHour) // 12 AM is hour 0, 1 PM hour 13: both readings are tried
        hours = {hour % 12, hour % 12 + 12};
    for (const int monthCandidate : months) {
        const QDate date(year, monthCandidate, day);
        if (!fitsSpreadsheet(date))
            continue;
        for (const int candidate : hours) {
            const QTime time =
                shape.timeFormat.isEmpty() ? QTime() : QTime(candidate, minute, second);
            if (!shape.timeFormat.isEmpty() && !time.isValid())
                continue;
            if (writesAs(shape, date, time, text))
                return CellValue{CellValue::Kind::DateTime, 0, date, time, shape.displayFormat};
        }
    }
    return std::nullopt;
}

std::optional<CellValue> CellValueReader::readThoroughly(const DateShape& shape,
                                                         const QString& text) const {
    if (shape.timeFormat.isEmpty()) {
        const QDate date = locale.toDate(text, shape.dateFormat);
        if (!fitsSpreadsheet(date))
            return std::nullopt;
        return CellValue{CellValue::Kind::DateTime, 0, date, QTime(), shape.displayFormat};
    }
    // Date and time are read apart: as one local date-time, a moment that the clocks skip
    // when summer time starts would not read at all.
    for (qsizetype blank = text.indexOf(QLatin1Char(' ')); blank > 0;
         blank = text.indexOf(QLatin1Char(' '), blank + 1)) {
        const QDate date = locale.toDate(text.left(blank), shape.dateFormat);
        if (!fitsSpreadsheet(date))
            continue;
        const QTime time = locale.toTime(text.mid(blank + 1), shape.timeFormat);
        if (time.isValid())
            return CellValue{CellValue::Kind::DateTime, 0, date, time, shape.displayFormat};
    }
    return std::nullopt;
}

CellValue CellValueReader::read(const QString& header, const QString& text) const {
    CellValue cell;
    if (header == pagesHeader) {
        bool ok = false;
        const qlonglong pages = text.trimmed().toLongLong(&ok);
        if (ok) {
            cell.kind = CellValue::Kind::Number;
            cell.number = static_cast<double>(pages);
        }
        return cell;
    }
    if (!isDateHeader(header) || text.isEmpty())
        return cell;
    QList<int> numbers;
    int number = -1;
    for (const QChar c : text) {
        const int digit = c.digitValue();
        if (digit >= 0) {
            number = number < 0 ? digit : std::min(number * 10 + digit, 1000000);
        } else if (number >= 0) {
            numbers.append(std::exchange(number, -1));
        }
    }
    if (number >= 0)
        numbers.append(number);
    for (const DateShape& shape : shapes)
        if (auto read = readQuickly(shape, numbers, text))
            return *read;
    for (const DateShape& shape : shapes)
        if (auto read = readThoroughly(shape, text))
            return *read;
    return cell;
}

} // namespace base
