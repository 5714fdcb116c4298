#pragma once

#include <QString>

namespace app {

// A stored text read as a number, the way the settings readers convert: blanks around it
// are ignored and a decimal point is allowed ("1", " 1", "1.0" all read as 1).
// Throws RunTimeError when the text is not a number.
double numberFromText(const QString& text);

// The same, rounded to a 16-bit whole number (halves to the even neighbour).
// Throws RunTimeError when the text is not a number or the number does not fit.
int smallIntegerFromText(const QString& text);

} // namespace app
