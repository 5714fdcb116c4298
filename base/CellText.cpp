#include "base/CellText.h"

#include "platform/DateTimeFormats.h"

#include <QDateTime>
#include <QTimeZone>

namespace base {

namespace {

// Whether the format shows the time zone ('t' outside quoted text).
bool showsZone(const QString& format) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            return true;
    }
    return false;
}

QString fileDateTimeText(const DateTimeValue& moment, const QLocale& locale) {
    const QString format = dateTimeFormat(DateTimeValue::Kind::FileDateTime, locale);
    const int offset = moment.offsetSeconds.value_or(0);
    const QDateTime onItsClock(moment.date, moment.time, Qt::OffsetFromUTC, offset);
    // A zone's name is known only to the local time zone: the same moment, in local time.
    if (showsZone(format))
        return locale.toString(QDateTime::fromMSecsSinceEpoch(onItsClock.toMSecsSinceEpoch()),
                               format);
    return locale.toString(onItsClock, format);
}

} // namespace

QString dateTimeFormat(DateTimeValue::Kind kind, const QLocale& locale) {
    switch (kind) {
    case DateTimeValue::Kind::DocumentDate:
        return platform::shortDateFormatWithFullYear(locale);
    case DateTimeValue::Kind::DocumentDateTime:
        return platform::shortDateFormatWithFullYear(locale) + QLatin1Char(' ') +
               platform::longTimeFormatWithoutZone(locale);
    case DateTimeValue::Kind::FileDateTime:
        return platform::fileDateTimeFormat(locale);
    }
    return {};
}

QString cellText(const CellValue& cell, const QLocale& locale) {
    if (cell.isText())
        return cell.text();
    if (cell.isInteger())
        return QString::number(cell.integerValue());
    if (!cell.isDateTime())
        return {};
    const DateTimeValue moment = cell.dateTimeValue();
    switch (moment.kind) {
    case DateTimeValue::Kind::DocumentDate:
        return locale.toString(moment.date, platform::shortDateFormatWithFullYear(locale));
    case DateTimeValue::Kind::DocumentDateTime:
        return locale.toString(moment.date, platform::shortDateFormatWithFullYear(locale)) +
               QLatin1Char(' ') +
               locale.toString(moment.time, platform::longTimeFormatWithoutZone(locale));
    case DateTimeValue::Kind::FileDateTime:
        return fileDateTimeText(moment, locale);
    }
    return {};
}

} // namespace base
