#include "output/SpreadsheetExport.h"

#include "base/BusyState.h"
#include "base/CellValues.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/Workbook.h"
#include "output/WorkbookFolder.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"
#include "platform/SpreadsheetApplication.h"

#include <QFile>

namespace output {

namespace {

const QString writingWorkbook = QStringLiteral("Writing Excel file");

// The path column is always text; the others are typed as a spreadsheet would type them.
void writeCell(Workbook& book, int row, int column, const QString& header, const QString& text,
               const base::CellValueReader& cells) {
    const base::CellValue cell = column == 0 ? base::CellValue{} : cells.read(header, text);
    switch (cell.kind) {
    case base::CellValue::Kind::Number:
        book.writeNumber(row, column, cell.number, text);
        break;
    case base::CellValue::Kind::DateTime:
        book.writeDateTime(row, column, cell.date, cell.time, cell.displayFormat, text);
        break;
    case base::CellValue::Kind::Text:
        book.write(row, column, text);
        break;
    }
}

} // namespace

bool spreadsheetApplicationIsInstalled() {
    if (platform::spreadsheetApplication().isInstalled())
        return true;
    platform::prompts().message(
        QStringLiteral("Excel is not installed on this computer. You need to have it installed "
                       "to use this software without error."));
    return false;
}

void writeResultsWorkbook(const base::ResultsSnapshot& results, const QString& path,
                          base::Progress* progress, const QLocale& locale) {
    Workbook book(path, platform::privateTempFolder());
    const base::CellValueReader cells(locale);
    const int columns = results.headerCount();
    QStringList headers;
    for (int column = 0; column < columns; ++column) {
        base::letEventsRun();
        headers.append(results.header(column));
        book.write(0, column, headers.constLast());
    }
    base::letEventsRun();
    if (progress) {
        progress->setValue(20);
        progress->setText(writingWorkbook);
    }
    base::letEventsRun();
    const int rows = results.rowCount();
    for (int row = 0; row < rows; ++row) {
        base::letEventsRun();
        if (results.isTicked(row)) {
            for (int column = 0; column < columns; ++column) {
                base::letEventsRun();
                writeCell(book, row + 1, column, headers[column], results.cell(row, column), cells);
            }
        }
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
    book.close();
}

void exportResultsToWorkbook(const base::ResultsModel& results, base::Progress& progress,
                             base::BusyState& busy, const base::ErrorReport& errors) {
    if (!spreadsheetApplicationIsInstalled()) {
        platform::prompts().message(
            QStringLiteral("Excel is not installed on this computer. You need to have it "
                           "installed to use this feature."));
        return;
    }
    if (results.count() == 0)
        return;
    {
        const base::BusyScope busyScope(busy);
        // One failure ends the export: a workbook that cannot be written or shown is
        // reported once, not once per remaining cell.
        errors.step([&] {
            const QString path = reserveWorkbookPath(QDateTime::currentDateTime());
            try {
                writeResultsWorkbook(results.snapshot(), path, &progress);
                handOverWorkbook(path);
            } catch (...) {
                QFile::remove(path); // never shown to anyone: no half-written file stays
                throw;
            }
            QString problem;
            if (!platform::spreadsheetApplication().open(path, problem))
                throw base::RunTimeError(problem);
        });
    }
    progress.reset();
}

} // namespace output
