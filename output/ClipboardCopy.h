#pragma once

#include "base/ResultsSnapshot.h"

namespace base {
class ErrorReport;
class ResultsModel;
} // namespace base

namespace output {

// Puts the ticked rows on the clipboard as aligned text without a header line. A table
// without rows leaves the clipboard untouched. False when the clipboard refused the text.
bool copyToClipboard(const base::ResultsSnapshot& results);

// Empties the clipboard, trying up to 1000 times while it refuses.
void clearClipboardWithRetry();
// Puts UTF-8 text on the clipboard, trying up to 1000 times while it refuses; true when it
// took it.
bool setClipboardTextWithRetry(const QByteArray& utf8);

// "Copy Results To Clipboard": copies, then tells how to paste; when the clipboard refuses
// the text, says so instead. With no ticked row it says there is nothing to copy and leaves
// the clipboard as it is.
void copyResultsToClipboard(const base::ResultsModel& results, const base::ErrorReport& errors);

} // namespace output
