#pragma once

#include <string>
#include <string_view>

namespace pdfinfodump {

// The characters of a PDF text string. A byte-order mark selects UTF-16BE (FE FF),
// UTF-16LE (FF FE) or UTF-8 (EF BB BF); any other string is PDFDocEncoding. Unpaired
// UTF-16 surrogates are kept as their own values so that a string holding only one still
// counts as non-empty; the output drops them. A trailing odd byte of UTF-16 is ignored and
// every malformed UTF-8 sequence becomes U+FFFD.
std::u32string decodeTextString(std::string_view bytes);

// The characters of a name object: one per byte, as ISO 8859-1.
std::u32string decodeNameBytes(std::string_view bytes);

} // namespace pdfinfodump
