#include "tool/DocumentAudit.h"

#include "tool/ActionScan.h"
#include "tool/FieldTreeWalk.h"
#include "tool/NameTreeCount.h"
#include "tool/PageWalk.h"

#include <new>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

// What read() gives, or nothing when what it reads cannot be read. The quick reader's giving
// way and running out of memory are no damage: they end the audit.
template <typename Read> auto guarded(Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const GiveWayToQpdf&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// True when any walk found it, false when every walk looked and found none.
std::optional<bool> anyOf(std::initializer_list<std::optional<bool>> walks) {
    bool unknown = false;
    for (const std::optional<bool>& found : walks) {
        if (found.value_or(false)) {
            return true;
        }
        unknown = unknown || !found;
    }
    return unknown ? std::nullopt : std::optional<bool>(false);
}

std::optional<bool> documentActionsRunJavaScript(AuditSource& source, const PdfObject& catalog,
                                                 long long chainLimit) {
    return guarded([&] {
        // An open action may also be a destination, an array.
        const PdfObject* open = catalog.find("OpenAction");
        const PdfObject* actions = catalog.find("AA");
        return (open && runsJavaScript(source, *open, chainLimit)) ||
               (actions &&
                anyRunsJavaScript(source, *actions, {"WC", "WS", "DS", "WP", "DP"}, chainLimit));
    });
}

std::optional<long long> nameTree(AuditSource& source, const PdfObject& catalog,
                                  std::string_view name, long long nodeLimit) {
    return guarded([&] {
        const PdfObject& tree = valueOf(source, valueOf(source, catalog, "Names"), name);
        return tree.is(Kind::Null) ? 0 : nameTreeEntries(source, tree, nodeLimit);
    });
}

} // namespace

AuditFacts auditDocument(AuditSource& source, const AuditLimits& limits) {
    AuditFacts facts;
    const std::optional<const PdfObject*> found =
        guarded([&] { return &valueOf(source, source.trailer(), "Root"); });
    if (!found || !(*found)->is(Kind::Dictionary)) {
        return facts;
    }
    const PdfObject& catalog = **found;

    facts.tagged = guarded([&] {
        const PdfObject& marked = valueOf(source, valueOf(source, catalog, "MarkInfo"), "Marked");
        return marked.is(Kind::Boolean) && marked.number != 0;
    });
    facts.language = guarded([&] {
                         const PdfObject& language = valueOf(source, catalog, "Lang");
                         return language.is(Kind::String)
                                    ? std::optional<std::string>(language.bytes)
                                    : std::nullopt;
                     }).value_or(std::nullopt);

    bool isAcroForm = false;
    facts.form = guarded([&] {
        const PdfObject& form = valueOf(source, catalog, "AcroForm");
        isAcroForm = form.is(Kind::Dictionary);
        bool isStream = false;
        const PdfObject& xfa = valueOf(source, form, "XFA", &isStream);
        return !isAcroForm                       ? FormKind::None
               : isStream || xfa.is(Kind::Array) ? FormKind::Xfa
                                                 : FormKind::AcroForm;
    });
    std::optional<FieldTreeFacts> fields = FieldTreeFacts{};
    if (isAcroForm) {
        fields = guarded([&] {
            return walkFieldTree(source, valueOf(source, catalog, "AcroForm"), limits.formFields,
                                 limits.chainedActions);
        });
    }
    if (fields) {
        facts.signatures = fields->signatureFields;
    }

    const std::optional<PageWalkFacts> pages = guarded([&] {
        const PdfObject* root = catalog.find("Pages");
        return root ? walkPages(source, *root, limits.pageTreeNodes, limits.everyPage)
                    : PageWalkFacts{};
    });
    std::optional<bool> firstPageRunsJavaScript;
    if (pages) {
        facts.firstPageSize = pages->firstPageSize;
        if (pages->sizesVary || (pages->complete && pages->firstPageSize)) {
            facts.pageSizeVaries = pages->sizesVary;
        }
        firstPageRunsJavaScript = false;
        if (pages->firstPage) {
            firstPageRunsJavaScript = guarded([&] {
                return pageRunsJavaScript(source, *pages->firstPage, limits.annotations,
                                          limits.chainedActions);
            });
        }
    }

    const std::optional<long long> scripts =
        nameTree(source, catalog, "JavaScript", limits.nameTreeNodes);
    facts.javaScript = anyOf({scripts ? std::optional<bool>(*scripts > 0) : std::nullopt,
                              documentActionsRunJavaScript(source, catalog, limits.chainedActions),
                              fields ? std::optional<bool>(fields->javaScript) : std::nullopt,
                              firstPageRunsJavaScript});
    facts.attachments = nameTree(source, catalog, "EmbeddedFiles", limits.nameTreeNodes);
    return facts;
}

} // namespace pdfinfodump
