#pragma once

#include <QLocale>
#include <QString>

namespace platform {

// The formats in which the results table shows dates, all in the user's locale. Dates
// always carry the year in full; times never carry a time-zone name.

// The locale's short date format with the year written in full.
QString shortDateFormatWithFullYear(const QLocale& locale);

// The locale's long time format without the time-zone name.
QString longTimeFormatWithoutZone(const QLocale& locale);

// A date or time format without its time-zone name ("t", outside quoted text), and without
// the brackets, blanks and commas that set the name apart.
QString formatWithoutZone(const QString& format);

// Whether a Qt date or time format holds the field letter (such as 't', 's' or 'z') outside
// its quoted text ('…', with '' for a quote).
bool formatShows(const QString& format, QChar letter);

// A file's date and time as a file manager shows it: short date, blank, short time.
QString fileDateTimeFormat(const QLocale& locale);

} // namespace platform
