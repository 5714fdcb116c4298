#pragma once

#include <optional>
#include <string>

class QPDF;

namespace pdfinfodump {

struct PageCount {
    // Absent when no page can be found and the page tree cannot be read at all.
    std::optional<long long> pages;
    // Set when the count is not the page tree's own: what was counted instead, and why.
    std::string warning;
};

// The number of pages of an opened document. A page tree whose counts add up is trusted
// (a handful of objects read); else the tree is walked. When the walk fails (a loop, a
// broken kid) or finds no page, the page objects are counted instead: first those reachable
// from the tree, each once, and when there are none, every object typed /Page in the file.
// Throws only std::bad_alloc.
PageCount countPages(QPDF& pdf);

} // namespace pdfinfodump
