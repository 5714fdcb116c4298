#pragma once

#include "base/Result.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace extract {

// A PDF date such as D:20210831143005+02'00' as date and time text in a locale.
struct PdfDateText {
    QString text;      // the short date, and when the value has a time part, a blank and the time
    QString timeError; // why the time part could not be read (the text is then the date alone)
};

// Reads year, month and day from characters 3-6, 7-8 and 9-10 and, when the value is longer
// than 10 characters, hours, minutes and seconds from 11-12, 13-14 and 15-16; the time
// zone part is ignored. Out-of-range parts carry over (month 13 is January of the next year,
// day 0 the last day of the month before). Fails when the date part is missing or not a
// number.
base::Result<PdfDateText> convertPdfDate(const QString& value, const QLocale& locale);

// The calendar date of year, month and day, carrying overflow both ways.
QDate carriedDate(int year, int month, int day);
// The time of day of hours, minutes and seconds, carrying overflow both ways.
QTime carriedTime(int hours, int minutes, int seconds);

} // namespace extract
