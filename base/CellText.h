#pragma once

#include "base/CellValue.h"
#include "base/TimeTexts.h"

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>

namespace base {

// How the results show their values as text: the table, the aligned text and CSV and the
// clipboard all show a cell this way, in the one locale of the program (QLocale()).
//
// A document's date shows in the locale's short date with the year in full, and its time in
// the locale's long time without a time zone, on the document's own clock; a file's date and
// time in the short date and the short time, on this computer's clock. Whole numbers show
// their digits, text as it is, yes or no as "Yes" or "No". A file size shows in the locale's
// decimal units ("2.4 MB"); a page size in millimetres, or in inches where the locale
// measures in United States units, with its paper's name ("210 × 297 mm (A4)",
// "8.5 × 11 in (Letter)"), or "varies" when the pages differ; an encryption by its cipher and
// key length ("AES 256-bit"), with "(password to open)" when opening needs one.
QString cellText(const CellValue& cell, const QLocale& locale = QLocale());

// The Qt format a date-time cell is shown in.
QString dateTimeFormat(DateTimeValue::Kind kind, const QLocale& locale = QLocale());

// Shows cells as cellText does, in UTF-8, for the ways out that write every cell of a large
// table: the date and time formats are worked out once, and the text of each day and each
// time of day met is kept, since a table holds the same days and times again and again.
class CellTextWriter {
public:
    explicit CellTextWriter(const QLocale& locale = QLocale());
    // Appends the cell's text.
    void append(QByteArray& utf8, const CellValue& cell);

private:
    void appendDateTime(QByteArray& utf8, const DateTimeValue& moment);

    QLocale locale;
    QString dateFormat;
    // A file's time that shows its zone is shown whole, as the zone depends on the day.
    bool fileTimeShowsZone = false;
    QHash<qint64, QByteArray> dates; // by Julian day
    TimeTexts documentTimes;
    TimeTexts fileTimes;
};

} // namespace base
