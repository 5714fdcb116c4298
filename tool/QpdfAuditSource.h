#pragma once

#include "tool/AuditSource.h"

#include <qpdf/QPDFObjGen.hh>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

class QPDF;
class QPDFObjectHandle;

namespace pdfinfodump {

// A document opened by qpdf as the audit reads it: each object converted once into the
// quick reader's form, its references kept as references. Without streamsPlain (streams are
// encrypted, the key unknown) an object inside an object stream throws UnreadableObjects
// instead: qpdf would decode its encrypted stream as noise.
class QpdfAuditSource final : public AuditSource {
public:
    QpdfAuditSource(QPDF& pdf, bool streamsPlain);

    const PdfObject& trailer() override;
    const PdfObject& resolve(const PdfObject& value, bool* isStream = nullptr) override;
    const PdfObject& resolveKeeping(const PdfObject& value,
                                    const std::vector<std::string_view>& keys,
                                    bool* isStream) override;

    // The object as the quick reader's parser would give it; its indirect parts stay
    // references unless top is set and it is indirect itself. With keep, a dictionary holds
    // only the entries of those keys.
    static PdfObject converted(QPDFObjectHandle object, bool top,
                               const std::vector<std::string_view>* keep = nullptr);

private:
    struct Stored {
        PdfObject value;
        bool isStream = false;
    };

    const PdfObject& stored(const PdfObject& value, bool* isStream,
                            const std::vector<std::string_view>* keep);

    QPDF& pdf_;
    std::set<QPDFObjGen> packed_;
    std::optional<PdfObject> trailer_;
    // By object and the list of keys kept (none: the whole object).
    std::map<std::tuple<std::int64_t, int, const void*>, Stored> objects_;
};

} // namespace pdfinfodump
