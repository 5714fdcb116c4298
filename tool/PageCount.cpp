#include "tool/PageCount.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <new>
#include <set>
#include <utility>
#include <vector>

namespace pdfinfodump {
namespace {

// The root's /Count when its kids, one level down, add up to it: each kid page counts one,
// each kid node its own /Count. Damaged files get /Count wrong (0 beside a page, say), and
// then nothing is trusted.
std::optional<long long> checkedRootCount(QPDFObjectHandle root, long long objectCount) {
    if (!root.isDictionary()) {
        return std::nullopt;
    }
    QPDFObjectHandle count = root.getKey("/Count");
    QPDFObjectHandle kids = root.getKey("/Kids");
    if (!count.isInteger() || !kids.isArray()) {
        return std::nullopt;
    }
    const long long claimed = count.getIntValue();
    // Every page is an object of its own, so a larger count cannot be true.
    if (claimed <= 0 || claimed > objectCount) {
        return std::nullopt;
    }
    long long sum = 0;
    for (QPDFObjectHandle kid : kids.aitems()) {
        if (!kid.isDictionary()) {
            return std::nullopt;
        }
        long long pages = 1;
        if (kid.getKey("/Kids").isArray()) {
            QPDFObjectHandle kidCount = kid.getKey("/Count");
            pages = kidCount.isInteger() ? kidCount.getIntValue() : -1;
        }
        // Compared before adding, so that no count in the file can overflow the sum.
        if (pages < 0 || pages > claimed - sum) {
            return std::nullopt;
        }
        sum += pages;
    }
    return sum == claimed ? std::optional<long long>(claimed) : std::nullopt;
}

// QPDFObjectHandle::isPageObject() walks the whole page tree first, which is what failed.
bool isOfType(QPDFObjectHandle object, const char* type) {
    QPDFObjectHandle name = object.getKey("/Type");
    return name.isName() && name.getName() == type;
}

// The page objects reachable from the root node, each counted once however often the tree
// names it: a node is a dictionary with /Kids; a page is typed /Page, or is a kid without
// a /Type (which readers accept).
long long reachablePages(QPDFObjectHandle root) {
    long long pages = 0;
    if (!root.isInitialized()) {
        return 0;
    }
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> pending{root};
    bool atRoot = true;
    while (!pending.empty()) {
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        const bool isRoot = std::exchange(atRoot, false);
        if (!node.isDictionary() || (node.isIndirect() && !seen.insert(node.getObjGen()).second)) {
            continue;
        }
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray()) {
            const bool untypedKid = !isRoot && node.getKey("/Type").isNull();
            pages += isOfType(node, "/Page") || untypedKid ? 1 : 0;
            continue;
        }
        for (QPDFObjectHandle kid : kids.aitems()) {
            // Only indirect kids can form a loop; a direct one is a damaged file's oddity.
            if (kid.isIndirect() || kid.isDictionary()) {
                pending.push_back(kid);
            }
        }
    }
    return pages;
}

long long pageObjectsInFile(QPDF& pdf) {
    long long pages = 0;
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
        try {
            pages += object.isDictionary() && isOfType(object, "/Page") ? 1 : 0;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception&) {
            // An object that cannot be read is no page.
        }
    }
    return pages;
}

template <typename Count> std::optional<long long> tryCount(Count count) {
    try {
        return count();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

PageCount countPages(QPDF& pdf) {
    QPDFObjectHandle root;
    const auto checked = tryCount([&]() -> std::optional<long long> {
        root = pdf.getRoot().getKey("/Pages");
        // The trailer's /Size bounds the number of objects; QPDF::getObjectCount() would
        // resolve them all.
        QPDFObjectHandle size = pdf.getTrailer().getKey("/Size");
        return size.isInteger() ? checkedRootCount(root, size.getIntValue()) : std::nullopt;
    });
    if (checked) {
        return {*checked, {}};
    }
    // Walking the whole tree touches every page object, which in a large file with object
    // streams means parsing most of it; that is why a checked /Count comes first.
    const auto walked = tryCount([&] { return static_cast<long long>(pdf.getAllPages().size()); });
    if (walked && *walked > 0) {
        return {*walked, {}};
    }
    const std::string why =
        walked ? "the page tree holds no page" : "the page tree cannot be walked";
    if (const auto reachable = tryCount([&] { return reachablePages(root); });
        reachable && *reachable > 0) {
        return {*reachable, why + "; counted the page objects it reaches"};
    }
    if (const auto inFile = tryCount([&] { return pageObjectsInFile(pdf); });
        inFile && *inFile > 0) {
        return {*inFile, why + "; counted the page objects in the file"};
    }
    return {walked, {}};
}

} // namespace pdfinfodump
