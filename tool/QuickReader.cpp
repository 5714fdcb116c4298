#include "tool/QuickReader.h"

#include "tool/DocumentAudit.h"
#include "tool/FactCollection.h"
#include "tool/PageWalk.h"
#include "tool/QuickDocument.h"

#include <exception>
#include <map>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

const PdfObject& null() {
    static const PdfObject object;
    return object;
}

// A dictionary's value for key, resolved; null when there is none.
const PdfObject& valueOf(QuickDocument& document, const PdfObject& dictionary, std::string_view key,
                         bool* isStream = nullptr) {
    const PdfObject* value = dictionary.find(key);
    return value ? document.resolve(*value, isStream) : null();
}

bool isDictionary(QuickDocument& document, const PdfObject& value, const PdfObject*& resolved) {
    bool isStream = false;
    resolved = &document.resolve(value, &isStream);
    return !isStream && resolved->is(Kind::Dictionary);
}

// The information dictionary's string entries, in the order of their keys, as qpdf's
// getDictAsMap() gives them.
std::vector<InfoEntry> infoEntries(QuickDocument& document) {
    std::vector<InfoEntry> entries;
    const PdfObject* info = document.trailer().find("Info");
    const PdfObject* dictionary = nullptr;
    if (!info || !isDictionary(document, *info, dictionary)) {
        return entries;
    }
    std::map<std::string, std::string> strings;
    for (std::size_t i = 0; i < dictionary->keys.size(); ++i) {
        bool isStream = false;
        const PdfObject& value = document.resolve(dictionary->values[i], &isStream);
        if (!isStream && value.is(Kind::String)) {
            strings[dictionary->keys[i]] = value.bytes;
        }
    }
    for (auto& [key, value] : strings) {
        entries.push_back({key, value});
    }
    return entries;
}

std::vector<std::string> fileIds(QuickDocument& document) {
    const PdfObject& id = valueOf(document, document.trailer(), "ID");
    std::vector<std::string> ids;
    if (id.is(Kind::Array)) {
        for (std::size_t i = 0; i < id.values.size() && i < 2; ++i) {
            bool isStream = false;
            const PdfObject& item = document.resolve(id.values[i], &isStream);
            ids.push_back(!isStream && item.is(Kind::String) ? item.bytes : std::string());
        }
    }
    return ids;
}

// The quick reader's objects as the audit reads them.
class QuickAuditSource final : public AuditSource {
public:
    explicit QuickAuditSource(QuickDocument& document) : document_(document) {}

    const PdfObject& trailer() override { return document_.trailer(); }
    const PdfObject& resolve(const PdfObject& value, bool* isStream) override {
        return document_.resolve(value, isStream);
    }
    const PdfObject& resolveKeeping(const PdfObject& value,
                                    const std::vector<std::string_view>& keys,
                                    bool* isStream) override {
        return document_.resolveKeeping(value, keys, isStream);
    }

private:
    QuickDocument& document_;
};

// The page tree root's /Count when its kids add up to it, as countPages() checks it; gives
// way otherwise, since qpdf then walks the tree. Of a kid, often one of thousands of pages,
// the count needs only /Kids and /Count, but an audit's walk reads the kids again for more:
// keys are the entries kept.
long long checkedPageCount(QuickDocument& document, const PdfObject& catalog,
                           const std::vector<std::string_view>& keys) {
    const PdfObject* pages = nullptr;
    const PdfObject* pagesValue = catalog.find("Pages");
    if (!pagesValue || !isDictionary(document, *pagesValue, pages)) {
        throw GiveWayToQpdf("no page tree");
    }
    const PdfObject& size = valueOf(document, document.trailer(), "Size");
    const PdfObject& count = valueOf(document, *pages, "Count");
    const PdfObject& kids = valueOf(document, *pages, "Kids");
    if (!size.is(Kind::Integer) || !count.is(Kind::Integer) || !kids.is(Kind::Array) ||
        count.number <= 0 || count.number > size.number) {
        throw GiveWayToQpdf("page count unchecked");
    }
    const long long claimed = count.number;
    long long sum = 0;
    for (const PdfObject& kidValue : kids.values) {
        bool isStream = false;
        const PdfObject* kid = &document.resolveKeeping(kidValue, keys, &isStream);
        if (isStream || !kid->is(Kind::Dictionary)) {
            throw GiveWayToQpdf("page tree kid is no dictionary");
        }
        long long kidPages = 1;
        if (valueOf(document, *kid, "Kids").is(Kind::Array)) {
            const PdfObject& kidCount = valueOf(document, *kid, "Count");
            kidPages = kidCount.is(Kind::Integer) ? kidCount.number : -1;
        }
        if (kidPages < 0 || kidPages > claimed - sum) {
            throw GiveWayToQpdf("page counts do not add up");
        }
        sum += kidPages;
    }
    if (sum != claimed) {
        throw GiveWayToQpdf("page counts do not add up");
    }
    return claimed;
}

QuickRead collect(QuickDocument& document, const std::optional<AuditLimits>& audit) {
    QuickRead read;
    DocumentFacts& facts = read.facts;
    facts.info = infoEntries(document);
    facts.ids = fileIds(document);
    const PdfObject* catalog = nullptr;
    const PdfObject* root = document.trailer().find("Root");
    if (!root || !isDictionary(document, *root, catalog)) {
        throw GiveWayToQpdf("no catalog");
    }
    static const std::vector<std::string_view> countKeys = {"Kids", "Count"};
    facts.pageCount = checkedPageCount(document, *catalog, audit ? pageNodeKeys() : countKeys);
    if (audit) {
        QuickAuditSource source(document);
        facts.audit = auditDocument(source, *audit);
        // The quick reader reads no encrypted file.
        facts.audit->encryption = EncryptionKind::None;
        facts.audit->passwordToOpen = false;
    }
    if (const PdfObject* metadata = catalog->find("Metadata");
        metadata && (lacksStandardProperty(facts) || audit)) {
        bool isStream = false;
        document.resolve(*metadata, &isStream);
        if (isStream) {
            addXmpProperties(facts, document.streamData(*metadata, metadataLimit), read.warnings);
        }
    }
    return read;
}

std::optional<QuickRead> readFrom(FileBytes& bytes, const std::optional<AuditLimits>& audit) {
    try {
        QuickDocument document(bytes);
        return collect(document, audit);
    } catch (const std::exception&) {
        // GiveWayToQpdf, a file that shrank, memory: qpdf reads it, and reports what it must.
        return std::nullopt;
    }
}

} // namespace

std::optional<QuickRead> readQuickly(std::string_view whole,
                                     const std::optional<AuditLimits>& audit) {
    FileBytes bytes(whole);
    return readFrom(bytes, audit);
}

std::optional<QuickRead> readQuickly(InputSource& source, std::int64_t size,
                                     const std::optional<AuditLimits>& audit) {
    FileBytes bytes(source, size);
    return readFrom(bytes, audit);
}

} // namespace pdfinfodump
