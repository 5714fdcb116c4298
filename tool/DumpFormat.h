#pragma once

#include "tool/DocumentFacts.h"
#include "tool/DumpText.h"

#include <string>

namespace pdfinfodump {

// The dump as LF-terminated lines: InfoBegin, InfoKey and InfoValue for every information
// entry whose text is not empty, then PdfID0 and PdfID1, then NumberOfPages, then the audit's
// lines when the facts hold an audit (AuditLines.h).
std::string formatDump(const DocumentFacts& facts, TextStyle style);

} // namespace pdfinfodump
