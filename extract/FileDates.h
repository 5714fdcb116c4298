#pragma once

#include "base/CellValue.h"
#include "platform/FileEntry.h"

#include <optional>

namespace extract {

// The dates of a file as this computer's clock showed them, each with the clock's offset
// from UTC at that moment (summer or winter time as it was then).
struct FileDates {
    std::optional<base::DateTimeValue> modified;
    std::optional<base::DateTimeValue> created; // not every file system keeps it
    std::optional<base::DateTimeValue> accessed;
};

// The dates of a file's entry; none when it was not found.
FileDates fileDatesOf(const platform::FileEntry& entry);

} // namespace extract
