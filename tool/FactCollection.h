#pragma once

#include "tool/DocumentAudit.h"
#include "tool/DocumentFacts.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPDF;

namespace pdfinfodump {

// What a dump reports of an opened document: the information dictionary's string entries,
// the trailer's /ID and the page count (countPages). Standard properties the dictionary
// lacks (absent, or text that decodes to nothing) are taken from the catalog's /Metadata
// stream when it holds them (propertiesFromXmp); the dictionary's own value always wins.
// Anything noteworthy, such as XMP that cannot be parsed or pages counted one by one, is
// added to warnings. Only the trailer, the information dictionary, the page tree and the
// metadata stream are read; without streamsPlain (their data is encrypted, the key unknown) no
// stream is. With audit, the audit facts too (DocumentAudit.h), all but Encryption,
// PasswordToOpen and Linearized. Throws only std::bad_alloc.
DocumentFacts collectFacts(QPDF& pdf, std::vector<std::string>& warnings, bool streamsPlain = true,
                           const std::optional<AuditLimits>& audit = std::nullopt);

// Far beyond any real XMP packet; a metadata stream that decodes to more is not read.
inline constexpr std::size_t metadataLimit = std::size_t{8} << 20;

// Whether the facts lack a standard property, which XMP metadata may then give.
bool lacksStandardProperty(const DocumentFacts& facts);

// Adds the standard properties the facts lack from the XMP packet xml, noting in warnings when
// the packet cannot be read; with audit facts, sets their PDF/A claim too.
void addXmpProperties(DocumentFacts& facts, std::string_view xml,
                      std::vector<std::string>& warnings);

} // namespace pdfinfodump
