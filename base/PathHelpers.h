#pragma once

#include <QString>

namespace base {

// True when the file-system modification time of path can be read: an existing file or
// folder. False on any error, including an empty path.
bool fileIsPresent(const QString& path);

// The text after the last separator of path; the whole text when it has none.
QString fileNameOf(const QString& path);

} // namespace base
