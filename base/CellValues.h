#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

namespace base {

// The value of a results cell, as a spreadsheet types what is entered in it: a page count is
// a number, a date a date-time shown in the table's own format, everything else text. The
// workbook writes cells by it, and the table sorts by it.
struct CellValue {
    enum class Kind { Text, Number, DateTime };
    Kind kind = Kind::Text;
    double number = 0;
    QDate date;            // the date and time as shown, without a time zone; the time is
    QTime time;            // null for a date alone
    QString displayFormat; // the spreadsheet number format a date-time is shown in
};

// Reads results cells back into their values, in the formats the table writes dates in for
// one locale: a document's date alone or with the long time, a file's with the short time.
class CellValueReader {
public:
    explicit CellValueReader(const QLocale& locale);

    // The cell for the text under a column header. Text that does not read as its column's
    // type, and dates a spreadsheet cannot hold (before 1900), stay text.
    CellValue read(const QString& header, const QString& text) const;

private:
    // One way the table writes a date: its formats, and the order of its number fields.
    struct DateShape {
        QString dateFormat;
        QString timeFormat; // empty for a date alone
        QString displayFormat;
        QString fields; // y, M, d, h, m, s in the order they appear
        bool twelveHour = false;
        bool numeric = true; // nothing the quick reading cannot read (milliseconds)
        // The month written by name (MMM, MMMM), in that form; none when it is a number.
        std::optional<QLocale::FormatType> monthName;
    };
    std::optional<CellValue> readQuickly(const DateShape& shape, const QList<int>& numbers,
                                         const QString& text) const;
    std::optional<CellValue> readThoroughly(const DateShape& shape, const QString& text) const;
    bool writesAs(const DateShape& shape, QDate date, QTime time, const QString& text) const;

    QLocale locale;
    QList<DateShape> shapes;
};

// A Qt date or time format as a spreadsheet number format ("M/d/yyyy h:mm:ss AP" gives
// "m/d/yyyy h:mm:ss AM/PM"). Literal text is quoted; a time-zone name has no equivalent and
// is left out.
QString spreadsheetDateFormat(const QString& qtFormat);

} // namespace base
