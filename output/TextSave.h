#pragma once

#include "output/ResultsSource.h"

namespace app {
class Form1;
}
namespace platform {
class TextProgressBar;
}

namespace output {

// Writes the results as a text file meant to be read by people: the header line and one
// line per ticked row, every cell padded with blanks to its column's widest entry (headers
// and unticked rows counted) and closed by a tab, every line ending in CR LF, in UTF-8
// without a byte-order mark. An existing file is replaced only once the new one is
// complete, so a save that fails is reported once and leaves the old file as it was; only
// in a folder the user may not write is a writable file written over in place.
// With a progress bar, it shows "Writing file: " and the name, and rests at the end.
// Returns whether the file was written.
bool SaveListviewProperlySpaced(const ResultsSource& results, const QString& path,
                                platform::TextProgressBar* bar);

// "4. Save Results As Text File": asks for a name and saves the results table there.
void PushButton1_Click(app::Form1& window);

} // namespace output
