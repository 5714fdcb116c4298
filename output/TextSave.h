#pragma once

#include "base/ResultsSnapshot.h"

class QIODevice;

namespace base {
class BusyState;
class ErrorReport;
class Progress;
class ResultsModel;
} // namespace base

namespace output {

// The two text forms of the results, both with a header line and one line per ticked row,
// every line ending in CR LF, in UTF-8 without a byte-order mark:
// - aligned, meant to be read by people: every cell padded with blanks to its column's
//   widest entry (headers and unticked rows counted) and closed by a tab;
// - comma-separated values (RFC 4180), for other programs.
enum class TextForm { Aligned, Csv };

// The form a file name asks for: comma-separated for a name ending in ".csv" (any letter
// case), aligned otherwise.
TextForm textFormFor(const QString& path);

// Writes the results to device. With progress, it shows "Writing file: " and name.
// Throws RunTimeError when a write fails.
void writeResultsText(const base::ResultsSnapshot& results, QIODevice& device, TextForm form,
                      base::Progress* progress, const QString& name);

// Writes the results as a file at path. An existing file is replaced only once the new one
// is complete and safe on disk, so a save that fails (a full disk too) is reported once,
// naming the path and the reason, and leaves the old file as it was; only in a folder the
// user may not write is a writable file written over in place. Progress rests at the end.
// Returns whether the file was written.
bool saveResultsText(const base::ResultsSnapshot& results, const QString& path, TextForm form,
                     base::Progress* progress);

// "4. Save Results As Text File": asks for a name (text or CSV) and saves the results there,
// busy meanwhile. A name that is one of the files read or to be read (inputs, and the
// results' own files) is refused: saving would destroy it.
void saveResultsByDialog(const base::ResultsModel& results, const QStringList& inputs,
                         base::Progress& progress, base::BusyState& busy,
                         const base::ErrorReport& errors);

} // namespace output
