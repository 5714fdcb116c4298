#include "tool/PageWalk.h"

#include "tool/ActionScan.h"
#include "tool/PageGeometry.h"

#include <bit>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;
using Identity = std::pair<std::int64_t, int>;

struct Frame {
    const PdfObject* kids;
    std::size_t next;
    PageAttributes attributes;
    std::optional<Identity> node;
};

std::optional<Identity> identity(const PdfObject& value) {
    if (!value.is(Kind::Reference)) {
        return std::nullopt;
    }
    return Identity{value.number, value.generation};
}

// Takes in each page in order.
class Sizes {
public:
    explicit Sizes(AuditSource& source) : source_(source) {}

    PageWalkFacts facts;

    void page(const PdfObject& value, const PdfObject& page, const PageAttributes& attributes) {
        const PageSize shown =
            shownSize(attributes, isName(valueOf(source_, page, "Type"), "Page"));
        if (!facts.firstPageSize) {
            facts.firstPageSize = shown;
            facts.firstPage = &value;
            return;
        }
        // Sizes vary when they are written differently. The same bits are always written the
        // same (0 and -0 are not), so only different ones are formatted: most pages are alike.
        const PageSize& first = *facts.firstPageSize;
        const auto bits = [](double number) { return std::bit_cast<std::uint64_t>(number); };
        if (bits(shown.width) != bits(first.width) || bits(shown.height) != bits(first.height)) {
            facts.sizesVary = facts.sizesVary || sizeText(shown) != sizeText(first);
        }
    }

private:
    static std::string sizeText(const PageSize& size) {
        return pointsText(size.width) + ' ' + pointsText(size.height);
    }

    AuditSource& source_;
};

// An annotation's entries its actions need.
const std::vector<std::string_view>& annotationKeys() {
    static const std::vector<std::string_view> keys = {"Subtype", "A", "AA"};
    return keys;
}

// A page's entries its actions need: another reading of the page than the walk's, so that
// the walk keeps little of each page.
const std::vector<std::string_view>& pageActionKeys() {
    static const std::vector<std::string_view> keys = {"AA", "Annots"};
    return keys;
}

bool annotationRunsJavaScript(AuditSource& source, const PdfObject& value, long long chainLimit) {
    bool isStream = false;
    const PdfObject& annotation = source.resolveKeeping(value, annotationKeys(), &isStream);
    if (isStream || !annotation.is(Kind::Dictionary)) {
        return false;
    }
    const PdfObject& subtype = valueOf(source, annotation, "Subtype");
    const bool link = isName(subtype, "Link");
    if (!link && !isName(subtype, "Widget") && !isName(subtype, "Screen")) {
        return false;
    }
    // A link's additional actions are not its own: viewers run only its /A.
    const PdfObject* action = annotation.find("A");
    const PdfObject* actions = annotation.find("AA");
    return (action && runsJavaScript(source, *action, chainLimit)) ||
           (!link && actions &&
            anyRunsJavaScript(source, *actions,
                              {"E", "X", "D", "U", "Fo", "Bl", "PO", "PC", "PV", "PI"},
                              chainLimit));
}

} // namespace

const std::vector<std::string_view>& pageNodeKeys() {
    static const std::vector<std::string_view> keys = {"Type",     "Kids",    "Count",
                                                       "MediaBox", "CropBox", "Rotate"};
    return keys;
}

PageWalkFacts walkPages(AuditSource& source, const PdfObject& root, long long pageLimit,
                        bool everyPage) {
    Sizes sizes(source);
    bool isStream = false;
    const PdfObject& rootNode = source.resolveKeeping(root, pageNodeKeys(), &isStream);
    const PdfObject& rootKids = valueOf(source, rootNode, "Kids");
    if (isStream || !rootKids.is(Kind::Array)) {
        // A root that is a page itself is taken as the only page, as viewers recover it.
        if (!isStream && isName(valueOf(source, rootNode, "Type"), "Page")) {
            sizes.page(root, rootNode, attributesOf(source, rootNode, {}));
        }
        return sizes.facts;
    }
    std::vector<Frame> path{{&rootKids, 0, attributesOf(source, rootNode, {}), identity(root)}};
    std::set<Identity> onPath;
    if (path.back().node) {
        onPath.insert(*path.back().node);
    }
    long long visited = 0;
    while (!path.empty()) {
        if (path.back().next >= path.back().kids->values.size()) {
            if (path.back().node) {
                onPath.erase(*path.back().node);
            }
            path.pop_back();
            continue;
        }
        const PdfObject& kidValue = path.back().kids->values[path.back().next++];
        const std::optional<Identity> kidIdentity = identity(kidValue);
        if (kidIdentity && onPath.count(*kidIdentity) != 0) {
            continue;
        }
        if (++visited > pageLimit) {
            sizes.facts.complete = false;
            break;
        }
        const PdfObject& kid = source.resolveKeeping(kidValue, pageNodeKeys(), &isStream);
        if (isStream || !kid.is(Kind::Dictionary)) {
            continue;
        }
        const PageAttributes attributes = attributesOf(source, kid, path.back().attributes);
        const PdfObject& kids = valueOf(source, kid, "Kids");
        if (isName(valueOf(source, kid, "Type"), "Page") || kids.is(Kind::Null)) {
            sizes.page(kidValue, kid, attributes);
            if (sizes.facts.sizesVary) {
                break; // the pages after it can change nothing that is reported
            }
            if (!everyPage) {
                sizes.facts.complete = false;
                break;
            }
        } else if (kids.is(Kind::Array)) {
            path.push_back({&kids, 0, attributes, kidIdentity});
            if (kidIdentity) {
                onPath.insert(*kidIdentity);
            }
        }
    }
    return sizes.facts;
}

bool pageRunsJavaScript(AuditSource& source, const PdfObject& page, long long annotationLimit,
                        long long chainLimit) {
    bool isStream = false;
    const PdfObject& entries = source.resolveKeeping(page, pageActionKeys(), &isStream);
    if (isStream || !entries.is(Kind::Dictionary)) {
        return false;
    }
    if (const PdfObject* actions = entries.find("AA");
        actions && anyRunsJavaScript(source, *actions, {"O", "C"}, chainLimit)) {
        return true;
    }
    const PdfObject& annotations = valueOf(source, entries, "Annots");
    if (!annotations.is(Kind::Array)) {
        return false;
    }
    if (static_cast<long long>(annotations.values.size()) > annotationLimit) {
        throw UnreadableObjects("too many annotations");
    }
    for (const PdfObject& annotation : annotations.values) {
        if (annotationRunsJavaScript(source, annotation, chainLimit)) {
            return true;
        }
    }
    return false;
}

} // namespace pdfinfodump
