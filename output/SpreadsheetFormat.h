#pragma once

#include <QString>

namespace output {

// A Qt date or time format as a spreadsheet number format ("M/d/yyyy h:mm:ss AP" gives
// "m/d/yyyy h:mm:ss AM/PM"). Literal text is quoted; a time-zone name has no equivalent and
// is left out.
QString spreadsheetDateFormat(const QString& qtFormat);

} // namespace output
