#include "output/WorkbookExport.h"

#include "base/CellText.h"
#include "base/Progress.h"
#include "output/AlignedText.h"
#include "output/SpreadsheetFormat.h"
#include "output/Workbook.h"

namespace output {

namespace {

const QString writingWorkbook = QStringLiteral("Writing Excel file");

// A spreadsheet counts days from 1900; earlier dates can only be text.
bool fitsSpreadsheet(QDate date) {
    return date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

// Whether a Qt format shows seconds ('s' outside quoted text).
bool showsSeconds(const QString& format) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('s'))
            return true;
    }
    return false;
}

// The path column is always text; the others as their values are. A yes or no is the text
// the table shows, as a spreadsheet takes "Yes" typed into it, rather than a spreadsheet's
// TRUE or FALSE, which it would show in other words (and in its own language).
void writeCell(Workbook& book, int row, int column, const base::CellValue& value,
               const QLocale& locale) {
    if (column > 0 && value.isByteCount()) {
        // The size in bytes, which a spreadsheet can add up, rather than "2.4 MB".
        const qint64 bytes = value.byteCountValue();
        book.writeNumber(row, column, static_cast<double>(bytes), QString::number(bytes));
        return;
    }
    const QString shown = base::cellText(value, locale);
    if (column > 0 && value.isInteger()) {
        book.writeNumber(row, column, static_cast<double>(value.integerValue()), shown);
        return;
    }
    if (column > 0 && value.isDateTime() && fitsSpreadsheet(value.dateTimeValue().date)) {
        const base::DateTimeValue moment = value.dateTimeValue();
        const QString format = base::dateTimeFormat(moment.kind, locale);
        // The cell holds the moment as the table shows it: to the second, or to the minute.
        QTime time = moment.time;
        if (time.isValid())
            time = QTime(time.hour(), time.minute(), showsSeconds(format) ? time.second() : 0);
        book.writeDateTime(row, column, moment.date, time, spreadsheetDateFormat(format), shown);
        return;
    }
    book.write(row, column, shown);
}

} // namespace

base::Status writeResultsWorkbook(const base::ResultsSnapshot& results, const QString& path,
                                  const QString& scratchFolder, const QLocale& locale,
                                  base::Progress* progress, const base::StopRequest* stop) {
    try {
        Workbook book(path, scratchFolder);
        const int columns = results.headerCount();
        for (int column = 0; column < columns; ++column)
            book.write(0, column, results.header(column));
        if (progress) {
            progress->setValue(20);
            progress->setText(writingWorkbook);
        }
        const int rows = results.rowCount();
        for (int row = 0; row < rows; ++row) {
            if (stop && row % 1000 == 0)
                stop->throwIfRequested();
            if (results.isTicked(row))
                for (int column = 0; column < columns; ++column)
                    writeCell(book, row + 1, column, results.cell(row, column), locale);
            if (progress) {
                progress->setValue(rowProgress(row + 1, rows));
                if ((row + 1) % 1000 == 0)
                    progress->setText(writingWorkbook + QStringLiteral("  (") +
                                      QString::number(row + 1) + QLatin1Char(')'));
            }
        }
        if (progress) {
            progress->setValue(100);
            progress->setText(QStringLiteral("Done."));
        }
        book.fitColumns();
        if (stop)
            stop->throwIfRequested();
        book.close();
        return base::Status::success();
    } catch (const base::RunTimeError& error) {
        return base::Status::failure(QString::fromUtf8(error.what()));
    }
}

} // namespace output
