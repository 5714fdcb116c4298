#include "output/SpreadsheetExport.h"

#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "output/AlignedText.h"
#include "output/Workbook.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/TextProgressBar.h"

#include <QDir>

namespace output {

namespace {

const QString writingWorkbook = QStringLiteral("Writing Excel file");

// A new file for every export, so a workbook still open in the application is never
// written over.
QString nextWorkbookPath() {
    static int exports = 0;
    const QString folder = platform::privateTempFolder();
    if (folder.isEmpty())
        throw app::RunTimeError(QStringLiteral("No temporary folder for the workbook."));
    return QStringLiteral("%1/Parvilon results %2.xlsx").arg(folder).arg(++exports);
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
                          platform::TextProgressBar* bar) {
    Workbook book(path, platform::privateTempFolder());
    const int columns = results.headerCount();
    for (int column = 0; column < columns; ++column) {
        app::letEventsRun();
        book.write(0, column, results.header(column));
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
                QString text = results.cell(row, column);
                if (column > 0)
                    text.remove(QLatin1Char('='));
                book.write(row + 1, column, text);
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
            const QString path = nextWorkbookPath();
            writeResultsWorkbook(readResults(window.ListView2), path, window.ProgressBar1);
            QString problem;
            if (!platform::spreadsheetApplication().open(path, problem))
                throw app::RunTimeError(problem);
        });
    }
    window.ProgressBar1->setRawValue(0);
    window.ProgressBar1->setText(QStringLiteral("Progress Bar"));
}

} // namespace output
