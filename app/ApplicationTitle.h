#pragma once

#include <QString>

namespace app {

// The short form of the product name used as the caption of message boxes: the name cut
// before its last blank, and cut again while longer than 40 characters. A one-word name has
// nothing to cut at and is kept whole (at most 40 characters of it).
QString makeApplicationTitle(const QString& productName);

} // namespace app
