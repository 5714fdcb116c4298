#pragma once

#include "base/Result.h"
#include "base/ResultsSnapshot.h"

#include <optional>

class QIODevice;

namespace base {
class Progress;
class StopRequest;
} // namespace base

namespace output {

// The two JSON forms of the results, both of the ticked rows in the order shown, each row an
// object (JsonValues.h), in UTF-8:
// - an array, one object a line, for a whole file of results;
// - JSON Lines: one object a line and nothing else, so that a reader can take each line as
//   it comes and files of several runs can be put together by joining them.
enum class JsonForm { Array, Lines };

// The form a file name asks for: JSON Lines for a name ending in ".jsonl" (any letter case),
// an array otherwise.
JsonForm jsonFormFor(const QString& path);

// Writes the results to device. With progress, it shows "Writing file: " and name, and ends
// at 100 and "Done.". Throws RunTimeError when a write fails, base::Stopped when stop is
// requested.
void writeResultsJson(const base::ResultsSnapshot& results, QIODevice& device, JsonForm form,
                      base::Progress* progress, const base::StopRequest* stop, const QString& name);

// Writes the results as a JSON file at path, in the form given or else the one its name asks
// for. An existing file is replaced only once the new one is complete and safe on disk, as the
// text save does. Runs in any thread.
base::Status saveResultsJson(const base::ResultsSnapshot& results, const QString& path,
                             base::Progress* progress = nullptr,
                             const base::StopRequest* stop = nullptr,
                             std::optional<JsonForm> form = std::nullopt);

} // namespace output
