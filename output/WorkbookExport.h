#pragma once

#include "base/Result.h"
#include "base/ResultsSnapshot.h"

#include <QLocale>

namespace base {
class Progress;
class StopRequest;
} // namespace base

namespace output {

// What is said when no spreadsheet application is there: first by the check, then by the
// button.
inline const QString noSpreadsheetForThisSoftware = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this "
    "software without error.");
inline const QString noSpreadsheetForThisFeature = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this "
    "feature.");

// Writes the results into a new workbook at path: the headers in row 1, each ticked row at
// its own position below (an unticked row leaves an empty worksheet row), whole numbers and
// file sizes (in bytes) as numbers, dates as date-time cells in the format the table shows them in
// (to the second or minute it shows), the rest as text, columns fitted to the longest shown text. A
// date a spreadsheet cannot hold (before March 1900) is text as shown. The workbook is packed in
// scratchFolder and put in place only when complete. Runs in any thread.
base::Status writeResultsWorkbook(const base::ResultsSnapshot& results, const QString& path,
                                  const QString& scratchFolder, const QLocale& locale = QLocale(),
                                  base::Progress* progress = nullptr,
                                  const base::StopRequest* stop = nullptr);

} // namespace output
