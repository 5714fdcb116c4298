#include "tool/ActionScan.h"

#include <set>
#include <utility>
#include <vector>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

bool holdsScript(AuditSource& source, const PdfObject& action) {
    const PdfObject& type = valueOf(source, action, "S");
    if (!isName(type, "JavaScript") && !isName(type, "Rendition")) {
        return false;
    }
    bool isStream = false;
    const PdfObject& script = valueOf(source, action, "JS", &isStream);
    return isStream || script.is(Kind::String);
}

} // namespace

bool runsJavaScript(AuditSource& source, const PdfObject& action, long long chainLimit) {
    std::set<std::pair<std::int64_t, int>> seen;
    std::vector<const PdfObject*> pending{&action};
    long long looked = 0;
    while (!pending.empty()) {
        const PdfObject& value = *pending.back();
        pending.pop_back();
        if (value.is(Kind::Reference) && !seen.emplace(value.number, value.generation).second) {
            continue;
        }
        if (++looked > chainLimit) {
            throw UnreadableObjects("action chain too long");
        }
        bool isStream = false;
        const PdfObject& resolved = source.resolve(value, &isStream);
        if (isStream || !resolved.is(Kind::Dictionary)) {
            continue;
        }
        if (holdsScript(source, resolved)) {
            return true;
        }
        const PdfObject* next = resolved.find("Next");
        if (!next) {
            continue;
        }
        const PdfObject& chained = source.resolve(*next);
        if (chained.is(Kind::Array)) {
            for (auto item = chained.values.rbegin(); item != chained.values.rend(); ++item) {
                pending.push_back(&*item);
            }
        } else {
            pending.push_back(next);
        }
    }
    return false;
}

bool anyRunsJavaScript(AuditSource& source, const PdfObject& additionalActions,
                       std::initializer_list<std::string_view> keys, long long chainLimit) {
    const PdfObject& actions = source.resolve(additionalActions);
    for (const std::string_view key : keys) {
        if (const PdfObject* action = actions.is(Kind::Dictionary) ? actions.find(key) : nullptr) {
            if (runsJavaScript(source, *action, chainLimit)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace pdfinfodump
