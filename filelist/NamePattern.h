#pragma once

#include <QString>

namespace filelist {

// True when name matches the file-name wildcard pattern the way a Windows file search
// matches it: "*" stands for any run of characters, "?" for any one, letter case is
// ignored, and "*.*" takes every name, also one without a dot. Every other character,
// separators and brackets included, stands for itself.
bool matchesNamePattern(QStringView name, QStringView pattern);

} // namespace filelist
