#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pdfinfodump {

// How many of a file's first bytes isLinearized() looks at.
inline constexpr std::size_t linearizationWindow = 4096;

// Whether a file is linearized as viewers take it (pdfinfo's "Optimized"): its first object,
// after the header's comments, is a dictionary whose /Linearized is a positive number and
// whose /L, an integer, is the file's size. head is the file's first bytes, up to
// linearizationWindow of them.
bool isLinearized(std::string_view head, std::int64_t fileSize);

} // namespace pdfinfodump
