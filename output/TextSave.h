#pragma once

#include "base/Result.h"
#include "base/ResultsSnapshot.h"

#include <QLocale>

class QIODevice;

namespace base {
class Progress;
class StopRequest;
} // namespace base

namespace output {

class TextTable;

// The two text forms of the results, both with a header line and one line per ticked row,
// every line ending in CR LF, in UTF-8 without a byte-order mark:
// - aligned, meant to be read by people: every cell padded with blanks to its column's
//   widest entry (headers and unticked rows counted) and closed by a tab;
// - comma-separated values (RFC 4180), for other programs.
enum class TextForm { Aligned, Csv };

// The form a file name asks for: comma-separated for a name ending in ".csv" (any letter
// case), aligned otherwise.
TextForm textFormFor(const QString& path);

// Writes the results to device. With progress, it shows "Writing file: " and name, and ends
// at 100 and "Done.". Throws RunTimeError when a write fails, base::Stopped when stop is
// requested.
void writeResultsText(const TextTable& table, QIODevice& device, TextForm form,
                      base::Progress* progress, const base::StopRequest* stop, const QString& name);

// Writes the results as a file at path. An existing file is replaced only once the new one
// is complete and safe on disk, so a save that fails (a full disk too) says so, naming the
// path and the reason, and leaves the old file as it was; only in a folder the user may not
// write is a writable file written over in place. Runs in any thread.
base::Status saveResultsText(const base::ResultsSnapshot& results, const QString& path,
                             TextForm form, const QLocale& locale = QLocale(),
                             base::Progress* progress = nullptr,
                             const base::StopRequest* stop = nullptr);

} // namespace output
