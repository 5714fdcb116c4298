#include "tool/FactCollection.h"

#include "tool/DocumentAudit.h"
#include "tool/PageCount.h"
#include "tool/PdfText.h"
#include "tool/QpdfAuditSource.h"
#include "tool/XmpProperties.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <array>
#include <new>
#include <stdexcept>

namespace pdfinfodump {
namespace {

constexpr std::array<std::string_view, 8> standardKeys = {
    "Title", "Author", "Subject", "Keywords", "Creator", "Producer", "CreationDate", "ModDate"};

// Collects decoded bytes and stops the decoding once there are more than the limit.
class BoundedBuffer : public Pipeline {
public:
    BoundedBuffer(std::string& out, std::size_t limit)
        : Pipeline("metadata", nullptr), out_(out), limit_(limit) {}
    void write(unsigned char const* data, std::size_t length) override {
        if (length > limit_ - out_.size()) {
            throw std::length_error("the metadata stream is too large");
        }
        out_.append(reinterpret_cast<const char*>(data), length);
    }
    void finish() override {}

private:
    std::string& out_;
    std::size_t limit_;
};

template <typename Read> void tolerate(Read read) {
    try {
        read();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // What cannot be read is left out of the facts.
    }
}

bool hasValue(const std::vector<InfoEntry>& info, std::string_view key) {
    return std::any_of(info.begin(), info.end(), [&](const InfoEntry& entry) {
        return entry.key == key && !decodeTextString(entry.value).empty();
    });
}

void addXmpFromMetadata(QPDF& pdf, DocumentFacts& facts, std::vector<std::string>& warnings) {
    const bool lacking = lacksStandardProperty(facts);
    if (!lacking && !facts.audit) {
        return;
    }
    QPDFObjectHandle metadata = pdf.getRoot().getKey("/Metadata");
    if (!metadata.isStream()) {
        return;
    }
    std::string xml;
    BoundedBuffer buffer(xml, metadataLimit);
    if (!metadata.pipeStreamData(&buffer, nullptr, 0, qpdf_dl_generalized, true)) {
        if (lacking) {
            warnings.push_back("the XMP metadata stream cannot be decoded; ignored");
        }
        return;
    }
    addXmpProperties(facts, xml, warnings);
}

} // namespace

bool lacksStandardProperty(const DocumentFacts& facts) {
    return !std::all_of(standardKeys.begin(), standardKeys.end(),
                        [&](std::string_view key) { return hasValue(facts.info, key); });
}

void addXmpProperties(DocumentFacts& facts, std::string_view xml,
                      std::vector<std::string>& warnings) {
    const bool lacking = lacksStandardProperty(facts);
    std::string error;
    const std::optional<XmpContent> content = readXmp(xml, error);
    if (!content) {
        if (lacking) {
            warnings.push_back("the XMP metadata is not well-formed (" + error + "); ignored");
        }
        return;
    }
    if (facts.audit) {
        facts.audit->pdfA = content->pdfA;
    }
    if (!lacking) {
        return;
    }
    for (const InfoEntry& property : content->properties) {
        if (hasValue(facts.info, property.key)) {
            continue;
        }
        // An empty entry of the dictionary gives way to the XMP value.
        facts.info.erase(std::remove_if(facts.info.begin(), facts.info.end(),
                                        [&](const InfoEntry& e) { return e.key == property.key; }),
                         facts.info.end());
        facts.info.push_back(property);
    }
    std::stable_sort(facts.info.begin(), facts.info.end(),
                     [](const InfoEntry& a, const InfoEntry& b) { return a.key < b.key; });
}

DocumentFacts collectFacts(QPDF& pdf, std::vector<std::string>& warnings, bool streamsPlain,
                           const std::optional<AuditLimits>& audit) {
    DocumentFacts facts;
    if (audit) {
        // Present from the start, for the XMP's PDF/A claim.
        facts.audit = AuditFacts{};
    }
    QPDFObjectHandle trailer = pdf.getTrailer();
    tolerate([&] {
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (info.isDictionary()) {
            for (auto& [key, value] : info.getDictAsMap()) {
                if (value.isString()) {
                    facts.info.push_back({key.substr(1), value.getStringValue()});
                }
            }
        }
    });
    tolerate([&] {
        QPDFObjectHandle id = trailer.getKey("/ID");
        if (id.isArray()) {
            const int items = std::min(id.getArrayNItems(), 2);
            std::vector<std::string> ids;
            for (int i = 0; i < items; ++i) {
                QPDFObjectHandle item = id.getArrayItem(i);
                ids.push_back(item.isString() ? item.getStringValue() : std::string());
            }
            facts.ids = std::move(ids);
        }
    });
    PageCount pages = countPages(pdf);
    facts.pageCount = pages.pages;
    if (!pages.warning.empty()) {
        warnings.push_back(pages.warning);
    }
    if (streamsPlain) {
        tolerate([&] { addXmpFromMetadata(pdf, facts, warnings); });
    }
    // Last: in a damaged file, what qpdf reads can depend on what it read before (an object
    // found elsewhere makes it rebuild the cross-reference table), and the audit must not
    // change the rest of the dump.
    if (audit) {
        tolerate([&] {
            QpdfAuditSource source(pdf, streamsPlain);
            AuditFacts walked = auditDocument(source, *audit);
            walked.pdfA = facts.audit->pdfA;
            facts.audit = std::move(walked);
        });
    }
    return facts;
}

} // namespace pdfinfodump
