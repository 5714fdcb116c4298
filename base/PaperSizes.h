#pragma once

#include <QString>

namespace base {

// The name of a common paper size ("A4", "B5", "Letter", "Legal") that a page of this width
// and height in points has, in either orientation, within two points; empty for any other size.
QString paperName(double width, double height);

} // namespace base
