#pragma once

#include <QString>

namespace filelist {

// Cleans a path built by joining a folder and a name: every doubled separator becomes one,
// in one left-to-right pass (so three in a row become two). A path that starts with
// separators starts with exactly one.
QString collapseDoubledSeparators(const QString& path);

} // namespace filelist
