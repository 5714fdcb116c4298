#include "tool/NameTreeCount.h"

#include <set>
#include <utility>
#include <vector>

namespace pdfinfodump {

long long nameTreeEntries(AuditSource& source, const PdfObject& root, long long nodeLimit) {
    using Kind = PdfObject::Kind;
    std::set<std::pair<std::int64_t, int>> seen;
    std::vector<const PdfObject*> pending{&root};
    long long nodes = 0;
    long long entries = 0;
    while (!pending.empty()) {
        const PdfObject& value = *pending.back();
        pending.pop_back();
        if (value.is(Kind::Reference) && !seen.emplace(value.number, value.generation).second) {
            continue;
        }
        if (++nodes > nodeLimit) {
            throw UnreadableObjects("name tree too large");
        }
        bool isStream = false;
        const PdfObject& node = source.resolve(value, &isStream);
        if (isStream || !node.is(Kind::Dictionary)) {
            continue;
        }
        const PdfObject& names = valueOf(source, node, "Names");
        if (names.is(Kind::Array)) {
            for (std::size_t i = 0; i + 1 < names.values.size(); i += 2) {
                entries += source.resolve(names.values[i]).is(Kind::String) ? 1 : 0;
            }
        }
        const PdfObject& kids = valueOf(source, node, "Kids");
        if (kids.is(Kind::Array)) {
            for (const PdfObject& kid : kids.values) {
                pending.push_back(&kid);
            }
        }
    }
    return entries;
}

} // namespace pdfinfodump
