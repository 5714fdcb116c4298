#pragma once

#include "base/CellValue.h"
#include "base/Result.h"

#include <QDate>
#include <QString>
#include <QTime>

namespace extract {

// A PDF date such as D:20210831143005+02'00' as a date and time on the document's clock.
struct PdfDateReading {
    // A date with its time when the value has a time part; the offset from UTC when the
    // value names one.
    base::DateTimeValue moment;
    QString timeError; // why the time part could not be read (the moment is then the date)
};

// Reads year, month and day from characters 3-6, 7-8 and 9-10 and, when the value is longer
// than 10 characters, hours, minutes and seconds from 11-12, 13-14 and 15-16, and the time
// zone part after them ("Z", "+02'00'", "-05"). Out-of-range parts carry over (month 13 is
// January of the next year, day 0 the last day of the month before); the time is never
// moved by the zone. Fails when the date part is missing or not a number. A value that
// starts with a digit lacks its "D:" and is read as if it had it.
base::Result<PdfDateReading> readPdfDate(const QString& value);

// The calendar date of year, month and day, carrying overflow both ways.
QDate carriedDate(int year, int month, int day);
// The time of day of hours, minutes and seconds, carrying overflow both ways.
QTime carriedTime(int hours, int minutes, int seconds);

} // namespace extract
