#pragma once

#include <array>
#include <string_view>

namespace pdfinfodump {

// What this tool does beyond pdftk's dump, as --features lists them and the serving mode's
// ready line names them: the audit's lines on request (audit_first_page: without reading
// every page), and serving one file after another.
inline constexpr std::array<std::string_view, 3> toolFeatures = {"audit", "audit_first_page",
                                                                 "serve"};

} // namespace pdfinfodump
