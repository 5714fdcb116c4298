#pragma once

#include "base/Result.h"

#include <QString>

namespace base {

// A stored text read as a number, the way the settings readers convert: blanks around it
// are ignored and a decimal point is allowed ("1", " 1", "1.0" all read as 1).
Result<double> numberFromText(const QString& text);

// The same, rounded to a 16-bit whole number (halves to the even neighbour); a failure too
// when the number does not fit.
Result<int> smallIntegerFromText(const QString& text);

} // namespace base
