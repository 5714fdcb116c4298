#pragma once

#include <QtGlobal>

namespace platform {

// Asks the kernel to back the whole 2 MiB pages inside a large buffer with huge pages, where
// it offers them on request (transparent huge pages). Filling the buffer then takes one page
// fault per 2 MiB rather than one per 4 KiB: for the tens of megabytes that the text of
// 100,000 rows takes, the faults alone would cost more than writing the text. Does nothing
// for a buffer smaller than a huge page, or where the kernel does not offer them.
void preferHugePages(const void* data, qsizetype size);

} // namespace platform
