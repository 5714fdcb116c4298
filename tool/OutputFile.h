#pragma once

#include <string>
#include <string_view>

namespace pdfinfodump {

// Writes data to path through a temporary file in the same folder and a rename, so the
// file appears whole or not at all and an earlier file of that name stays until then.
// Returns why it failed, or an empty text.
std::string writeFileWhole(const std::string& path, std::string_view data);

// Writes data to standard output. Returns why it failed, or an empty text.
std::string writeStandardOutput(std::string_view data);

} // namespace pdfinfodump
