#pragma once

#include "output/ResultsSource.h"

#include <QLocale>

namespace app {
class Form1;
}
namespace platform {
class TextProgressBar;
}

namespace output {

// Whether a spreadsheet application is there to show a workbook; when none is, says so
// ("Excel is not installed on this computer. ...").
bool SaveResultsAsExcelFileIsExcelInstalled();

// Writes the results into a new workbook at path: the headers in row 1, each ticked row at
// its own position below (an unticked row leaves an empty worksheet row), page counts as
// numbers and dates as date-times read in locale's formats, the rest as text, columns
// fitted. Throws RunTimeError when it cannot be written.
void writeResultsWorkbook(const ResultsSource& results, const QString& path,
                          platform::TextProgressBar* bar,
                          const QLocale& locale = QLocale::system());

// "4. Save Results As Excel File": shows the ticked results in a new workbook of the
// desktop's spreadsheet application.
void PushButton13_Click(app::Form1& window);

} // namespace output
