#pragma once

#include <string_view>

namespace pdfinfodump {

// Bounds the process's processor time and memory, so a crafted file that sends qpdf into
// endless work or a decompression bomb ends the tool with an error instead of holding the
// caller or the machine. Reading document properties needs a fraction of either.
void limitResources();

// For a process that reads one file after another: allows the processor time the limit
// allows a whole run from now on, so the limit bounds each file rather than all of them.
void allowProcessorTimeFromNow();

// What a run that reached the processor limit writes on standard error before it ends with
// status 1.
inline constexpr std::string_view processorLimitMessage =
    "pdftk: gave up: reading the file took too long\n";

} // namespace pdfinfodump
