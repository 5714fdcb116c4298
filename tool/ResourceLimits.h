#pragma once

namespace pdfinfodump {

// Bounds the process's processor time and memory, so a crafted file that sends qpdf into
// endless work or a decompression bomb ends the tool with an error instead of holding the
// caller or the machine. Reading document properties needs a fraction of either.
void limitResources();

} // namespace pdfinfodump
