#pragma once

#include "tool/DumpText.h"

#include <optional>
#include <string>
#include <vector>

namespace pdfinfodump {

// What the words between the input and "output" ask of the dump.
struct DumpWords {
    TextStyle style = TextStyle::Escaped;
    bool audit = false; // the audit's lines after the usual ones (AuditLines.h)
    // Whether the audit reads every page (audit), or the first alone (audit_first_page):
    // then whether the pages' sizes vary is not told.
    bool auditEveryPage = true;
};

// The dump words, as the command line and a serving request both give them: one operation,
// dumpdata or dump_data (escaped text) or dump_data_utf8 (UTF-8 text), optionally followed
// by audit or audit_first_page. Nothing for a missing or unknown word, or a word too many.
std::optional<DumpWords> parseDumpWords(const std::vector<std::string>& words);

} // namespace pdfinfodump
