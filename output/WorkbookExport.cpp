#include "output/WorkbookExport.h"

#include "base/CellText.h"
#include "base/Progress.h"
#include "output/AlignedText.h"
#include "output/SpreadsheetFormat.h"
#include "output/Workbook.h"
#include "platform/DateTimeFormats.h"

#include <array>

namespace output {

namespace {

const QString writingWorkbook = QStringLiteral("Writing Excel file");

// A spreadsheet counts days from 1900; earlier dates can only be text.
bool fitsSpreadsheet(QDate date) {
    return date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

// Writes the cells of the results' rows. The path column is always text; the others as
// their values are. A yes or no is the text the table shows, as a spreadsheet takes "Yes"
// typed into it, rather than a spreadsheet's TRUE or FALSE, which it would show in other
// words (and in its own language).
class CellWriter {
public:
    CellWriter(Workbook& workbook, const QLocale& locale) : book(workbook), texts(locale) {
        using Kind = base::DateTimeValue::Kind;
        for (const Kind kind : {Kind::DocumentDate, Kind::DocumentDateTime, Kind::FileDateTime}) {
            const QString format = base::dateTimeFormat(kind, locale);
            dateFormats[static_cast<size_t>(kind)] = {
                spreadsheetDateFormat(format), platform::formatShows(format, QLatin1Char('s'))};
        }
    }

    void writeRow(int row, const base::ResultRowData& data, int columns) {
        book.write(row, 0, data.path);
        data.cells.forEachCell([&](int column, const base::CellValue& value, QByteArrayView text) {
            if (column <= 0 || column >= columns)
                return;
            if (!text.isEmpty())
                book.write(row, column, text);
            else if (!value.isEmpty())
                write(row, column, value);
        });
    }

private:
    // The length of the cell's text as the table shows it, in UTF-16 units.
    qsizetype shownLength(const base::CellValue& value) {
        shown.truncate(0);
        texts.append(shown, value);
        return utf16Length(shown);
    }

    void write(int row, int column, const base::CellValue& value) {
        if (value.isByteCount()) {
            // The size in bytes, which a spreadsheet can add up, rather than "2.4 MB".
            const qint64 bytes = value.byteCountValue();
            book.writeNumber(row, column, static_cast<double>(bytes),
                             QString::number(bytes).size());
        } else if (value.isInteger()) {
            book.writeNumber(row, column, static_cast<double>(value.integerValue()),
                             shownLength(value));
        } else if (value.isDateTime() && fitsSpreadsheet(value.dateTimeValue().date)) {
            const base::DateTimeValue moment = value.dateTimeValue();
            const DateFormat& format = dateFormats[static_cast<size_t>(moment.kind)];
            // The cell holds the moment as the table shows it: to the second, or the minute.
            QTime time = moment.time;
            if (time.isValid())
                time = QTime(time.hour(), time.minute(), format.showsSeconds ? time.second() : 0);
            book.writeDateTime(row, column, moment.date, time, format.inSpreadsheet,
                               shownLength(value));
        } else {
            shown.truncate(0);
            texts.append(shown, value);
            book.write(row, column, QByteArrayView(shown));
        }
    }

    // How a kind of date shows in the workbook, worked out once.
    struct DateFormat {
        QString inSpreadsheet;
        bool showsSeconds = false;
    };

    Workbook& book;
    base::CellTextWriter texts;
    std::array<DateFormat, 3> dateFormats;
    QByteArray shown;
};

} // namespace

base::Status writeResultsWorkbook(const base::ResultsSnapshot& results, const QString& path,
                                  const QString& scratchFolder, const QLocale& locale,
                                  base::Progress* progress, const base::StopRequest* stop) {
    try {
        Workbook book(path, scratchFolder);
        const int columns = results.headerCount();
        for (int column = 0; column < columns; ++column)
            book.write(0, column, results.header(column));
        CellWriter cells(book, locale);
        base::showProgress(progress, 20, writingWorkbook);
        const int rows = results.rowCount();
        for (int row = 0; row < rows; ++row) {
            if (stop && row % 1000 == 0)
                stop->throwIfRequested();
            if (results.isTicked(row))
                cells.writeRow(row + 1, results.rows[row], columns);
            if (progress) {
                progress->setValue(rowProgress(row + 1, rows));
                if ((row + 1) % 1000 == 0)
                    progress->setText(writingWorkbook + QStringLiteral("  (") +
                                      QString::number(row + 1) + QLatin1Char(')'));
            }
        }
        base::showProgress(progress, 100, QStringLiteral("Done."));
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
