#pragma once

#include "extract/ToolRunner.h"

#include <QString>

namespace app {
class Form1;
}

namespace extract {

// "3. Start Extracting": rebuilds the results table's header row from the chosen
// properties, then for every listed file, in list order, adds a results row and fills it
// from the file's details, the tool's dump and the file's first line; at the end every row
// is ticked and "Done." is said, with how many files could not be read. A row whose file the
// tool could not read carries the reason as its tooltip and a warning icon. Refused while the
// window is busy with another operation.
void PushButton3_Click(app::Form1& window, RunLimits limits = {});

// The second line of the final "Done." box: how many files could not be read; nothing when
// every file was read.
QString unreadFilesLine(int unreadFiles);

// Deletes a file whatever its permissions; every error is ignored.
void DeleteFileForced(const QString& path);

// Attaches the property dialog and the extraction run to the main window.
void attachExtraction(app::Form1& window);

} // namespace extract
