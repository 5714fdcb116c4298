#include "output/SpreadsheetExport.h"

#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "output/AlignedText.h"
#include "output/Workbook.h"
#include "output/WorkbookCell.h"
#include "output/WorkbookFolder.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/TextProgressBar.h"

#include <QFile>

namespace output {

namespace {

const QString writingWorkbook = QStringLiteral("Writing Excel file");

// The path column is always text; the others are typed as a spreadsheet would type them.
void writeCell(Workbook& book, int row, int column, const QString& header, const QString& text,
               const WorkbookCellReader& cells) {
    const WorkbookCell cell = column == 0 ? WorkbookCell{} : cells.cellFor(header, text);
    switch (cell.kind) {
    case WorkbookCell::Kind::Number:
        book.writeNumber(row, column, cell.number, text);
        break;
    case WorkbookCell::Kind::DateTime:
        book.writeDateTime(row, column, cell.date, cell.time, cell.displayFormat, text);
        break;
    case WorkbookCell::Kind::Text:
        book.write(row, column, text);
        break;
    }
}

} // namespace

bool SaveResultsAsExcelFileIsExcelInstalled() {
    if (platform::spreadsheetApplication().isInstalled())
        return true;
    platform::prompts().message(
        QStringLiteral("Excel is not installed on this computer. You need to have it installed "
                       "to use this software without error."));
    return false;
}

void writeResultsWorkbook(const ResultsSource& results, const QString& path,
                          platform::TextProgressBar* bar, const QLocale& locale) {
    Workbook book(path, platform::privateTempFolder());
    const WorkbookCellReader cells(locale);
    const int columns = results.headerCount();
    QStringList headers;
    for (int column = 0; column < columns; ++column) {
        app::letEventsRun();
        headers.append(results.header(column));
        book.write(0, column, headers.constLast());
    }
    app::letEventsRun();
    if (bar) {
        bar->setRawValue(20);
        bar->setText(writingWorkbook);
    }
    app::letEventsRun();
    const int rows = results.rowCount();
    for (int row = 0; row < rows; ++row) {
        app::letEventsRun();
        if (results.isTicked(row)) {
            for (int column = 0; column < columns; ++column) {
                app::letEventsRun();
                writeCell(book, row + 1, column, headers[column], results.cell(row, column), cells);
            }
        }
        if (bar) {
            bar->setRawValue(rowProgress(row + 1, rows));
            if ((row + 1) % 1000 == 0)
                bar->setText(writingWorkbook + QStringLiteral("  (") + QString::number(row + 1) +
                             QLatin1Char(')'));
        }
    }
    if (bar) {
        bar->setRawValue(100);
        bar->setText(QStringLiteral("Done."));
    }
    book.fitColumns();
    book.close();
}

void PushButton13_Click(app::Form1& window) {
    if (!SaveResultsAsExcelFileIsExcelInstalled()) {
        platform::prompts().message(
            QStringLiteral("Excel is not installed on this computer. You need to have it "
                           "installed to use this feature."));
        return;
    }
    if (window.ListView2->topLevelItemCount() == 0)
        return;
    const app::ErrorReport errors(QStringLiteral("Form1.PushButton13_Click"));
    {
        const app::BusyScope busy(&window);
        // One failure ends the export: a workbook that cannot be written or shown is
        // reported once, not once per remaining cell.
        errors.step([&] {
            const QString path = reserveWorkbookPath(QDateTime::currentDateTime());
            try {
                writeResultsWorkbook(readResults(window.ListView2), path, window.ProgressBar1);
            } catch (...) {
                QFile::remove(path); // never shown to anyone: no half-written file stays
                throw;
            }
            QString problem;
            if (!platform::spreadsheetApplication().open(path, problem))
                throw app::RunTimeError(problem);
        });
    }
    window.ProgressBar1->setRawValue(0);
    window.ProgressBar1->setText(QStringLiteral("Progress Bar"));
}

} // namespace output
