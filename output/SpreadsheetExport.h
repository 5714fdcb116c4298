#pragma once

#include "base/ResultsSnapshot.h"

#include <QLocale>

namespace base {
class BusyState;
class ErrorReport;
class Progress;
class ResultsModel;
} // namespace base

namespace output {

// Whether a spreadsheet application is there to show a workbook; when none is, says so
// ("Excel is not installed on this computer. ...").
bool spreadsheetApplicationIsInstalled();

// Writes the results into a new workbook at path: the headers in row 1, each ticked row at
// its own position below (an unticked row leaves an empty worksheet row), page counts as
// numbers and dates as date-times read in locale's formats, the rest as text, columns
// fitted. Throws RunTimeError when it cannot be written.
void writeResultsWorkbook(const base::ResultsSnapshot& results, const QString& path,
                          base::Progress* progress, const QLocale& locale = QLocale::system());

// "4. Save Results As Excel File": shows the ticked results in a new workbook of the
// desktop's spreadsheet application, busy meanwhile.
void exportResultsToWorkbook(const base::ResultsModel& results, base::Progress& progress,
                             base::BusyState& busy, const base::ErrorReport& errors);

} // namespace output
