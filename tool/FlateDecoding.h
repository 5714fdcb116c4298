#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pdfinfodump {

// The data of a FlateDecode stream: the zlib stream inflated up to its end (bytes after the
// end are ignored, as qpdf ignores them). Nothing when the data is damaged, ends early or
// inflates to more than limit bytes.
std::optional<std::string> inflated(std::string_view data, std::size_t limit);

// The rows of PNG-predicted data (one filter byte, then columns bytes of one 8-bit sample)
// without their prediction. Nothing for a row cut short or an unknown filter type.
std::optional<std::string> withoutPngPrediction(std::string_view data, std::size_t columns);

} // namespace pdfinfodump
