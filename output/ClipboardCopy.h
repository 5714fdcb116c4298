#pragma once

#include "output/ResultsSource.h"

namespace app {
class Form1;
}

namespace output {

// Puts the ticked rows on the clipboard as aligned text without a header line. A table
// without rows leaves the clipboard untouched. False when the clipboard refused the text.
bool CopyListviewToClipboard(const ResultsSource& results);

// Empties the clipboard, trying up to 1000 times while it refuses.
void ClearClipboardWithRetry();
// Puts UTF-8 text on the clipboard, trying up to 1000 times while it refuses; true when it
// took it.
bool SetClipboardTextWithRetry(const QByteArray& utf8);

// "Copy Results To Clipboard": copies, then tells how to paste; when the clipboard refuses
// the text, says so instead.
void PushButton2_Click(app::Form1& window);

} // namespace output
