#include "tool/FieldTreeWalk.h"

#include "tool/ActionScan.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

struct Pending {
    const PdfObject* value;
    bool root;          // named by /Fields: a field, with or without a /T
    bool signatureType; // the field type the parent passes down is /Sig
    bool typeGiven;     // the parent passes a field type down
};

} // namespace

FieldTreeFacts walkFieldTree(AuditSource& source, const PdfObject& acroForm, long long nodeLimit,
                             long long chainLimit) {
    FieldTreeFacts facts;
    const PdfObject& fields = valueOf(source, acroForm, "Fields");
    if (!fields.is(Kind::Array)) {
        return facts;
    }
    std::set<std::pair<std::int64_t, int>> seen;
    std::vector<Pending> pending;
    for (auto field = fields.values.rbegin(); field != fields.values.rend(); ++field) {
        pending.push_back({&*field, true, false, false});
    }
    long long nodes = 0;
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        const PdfObject& value = *next.value;
        if (value.is(Kind::Reference) && !seen.emplace(value.number, value.generation).second) {
            continue;
        }
        if (++nodes > nodeLimit) {
            throw UnreadableObjects("field tree too large");
        }
        bool isStream = false;
        const PdfObject& field = source.resolve(value, &isStream);
        if (isStream || !field.is(Kind::Dictionary)) {
            continue;
        }
        if (const PdfObject* action = field.find("A");
            !facts.javaScript && action && runsJavaScript(source, *action, chainLimit)) {
            facts.javaScript = true;
        }
        if (const PdfObject* actions = field.find("AA");
            !facts.javaScript && actions &&
            anyRunsJavaScript(source, *actions, {"K", "F", "V", "C"}, chainLimit)) {
            facts.javaScript = true;
        }
        bool signatureType = next.signatureType;
        bool typeGiven = next.typeGiven;
        if (const PdfObject& type = valueOf(source, field, "FT"); type.is(Kind::Name)) {
            signatureType = type.bytes == "Sig";
            typeGiven = true;
        }
        const PdfObject& kids = valueOf(source, field, "Kids");
        const bool hasFieldKids =
            kids.is(Kind::Array) &&
            std::any_of(kids.values.begin(), kids.values.end(), [&](const PdfObject& kid) {
                return !valueOf(source, source.resolve(kid), "T").is(Kind::Null);
            });
        // A kid without a /T is a widget of its parent field, not a field of its own.
        const bool isField = next.root || !valueOf(source, field, "T").is(Kind::Null);
        if (isField && !hasFieldKids && typeGiven && signatureType) {
            ++facts.signatureFields;
        }
        if (kids.is(Kind::Array)) {
            for (auto kid = kids.values.rbegin(); kid != kids.values.rend(); ++kid) {
                pending.push_back({&*kid, false, signatureType, typeGiven});
            }
        }
    }
    return facts;
}

} // namespace pdfinfodump
