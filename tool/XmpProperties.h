#pragma once

#include "tool/DocumentFacts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pdfinfodump {

// The document properties an XMP packet holds, as information entries (key and UTF-8 value
// with its byte-order mark, so that the dump decodes it as any other text string), by the
// usual mapping: dc:title (its x-default alternative, else the first) -> Title, dc:creator
// (every item, joined with "; ") -> Author, dc:description -> Subject, pdf:Keywords ->
// Keywords, xmp:CreatorTool -> Creator, pdf:Producer -> Producer, xmp:CreateDate ->
// CreationDate and xmp:ModifyDate -> ModDate, the dates in PDF form (xmpDateAsPdfDate).
// Properties may be elements or attributes of any rdf:Description; namespaces are matched
// by their URI, not their prefix. Values are trimmed; empty ones and dates that cannot be
// read are left out. Nothing, with the parser's reason in error, when the packet is not
// well-formed XML or declares entities (which could make a small packet expand hugely).
std::optional<std::vector<InfoEntry>> propertiesFromXmp(std::string_view xml, std::string& error);

struct XmpContent {
    std::vector<InfoEntry> properties; // as propertiesFromXmp() gives them
    // The PDF/A claim: pdfaid:part, then pdfaid:conformance in upper case ("2B"; "4" for a
    // pdfaid:part without a conformance level), each an element or an attribute.
    std::optional<std::string> pdfA;
};

// What propertiesFromXmp() reads, and the PDF/A claim, in one parse.
std::optional<XmpContent> readXmp(std::string_view xml, std::string& error);

// An XMP date (YYYY, YYYY-MM, YYYY-MM-DD, or that with Thh:mm[:ss[.fraction]] and a zone of
// Z or +hh:mm / -hh:mm) in PDF form: D:YYYYMMDD, then HHmmSS and Z or +HH'mm' for a time and
// its zone. A missing month or day is written as 01, seconds as 00 when the time has none;
// fractions are dropped. Nothing for anything else.
std::optional<std::string> xmpDateAsPdfDate(std::string_view date);

} // namespace pdfinfodump
