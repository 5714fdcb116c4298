#pragma once

#include "tool/AuditFacts.h"

#include <optional>
#include <string>
#include <vector>

namespace pdfinfodump {

// One string entry of the document information dictionary, as stored in the file
// (after decryption): the key's name bytes without the slash and the string's bytes.
struct InfoEntry {
    std::string key;
    std::string value;
};

// What a dump reports of one document.
struct DocumentFacts {
    std::vector<InfoEntry> info;
    // The first two items of the trailer's /ID array as raw bytes; an item that is not a
    // string is empty. No items when the trailer has no /ID array.
    std::vector<std::string> ids;
    // Absent when the page tree cannot be read.
    std::optional<long long> pageCount;
    // Read only when asked for (FileReading::audit).
    std::optional<AuditFacts> audit;
};

} // namespace pdfinfodump
