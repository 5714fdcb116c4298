#pragma once

#include "tool/AuditFacts.h"
#include "tool/AuditSource.h"

#include <optional>
#include <string_view>
#include <vector>

namespace pdfinfodump {

struct PageWalkFacts {
    std::optional<PageSize> firstPageSize;
    // The first page as its parent's /Kids names it (a reference, as a rule); null without one.
    const PdfObject* firstPage = nullptr;
    // Whether a later page's size, as the dump writes it, differs from the first's.
    bool sizesVary = false;
    // Cleared when the walk stopped at its limit: what it found holds, what it did not find
    // may still be there.
    bool complete = true;
};

// Walks the page tree from its root node (the catalog's /Pages) in page order, as viewers
// do: a kid typed /Page or without /Kids is a page, any other dictionary a node; a kid that
// is one of its own ancestors is skipped; a root typed /Page is the only page. Stops after
// pageLimit pages and nodes.
// With everyPage false, it stops at the first page: the first page's size and the page
// itself are found, whether sizes vary is not (complete is cleared).
PageWalkFacts walkPages(AuditSource& source, const PdfObject& root, long long pageLimit,
                        bool everyPage = true);

// The entries of a page tree node the walk reads, for AuditSource::resolveKeeping(); any
// other reading of those nodes through it must keep the same.
const std::vector<std::string_view>& pageNodeKeys();

// Whether a page's open or close action (its /AA), or an action of a link, widget or screen
// annotation on it, runs JavaScript. More than annotationLimit annotations throw
// UnreadableObjects.
bool pageRunsJavaScript(AuditSource& source, const PdfObject& page, long long annotationLimit,
                        long long chainLimit);

} // namespace pdfinfodump
