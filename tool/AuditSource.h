#pragma once

#include "tool/PdfSyntax.h"

#include <stdexcept>
#include <string_view>
#include <vector>

namespace pdfinfodump {

// Thrown where objects the audit needs cannot be read (an object whose bytes are
// encrypted, a reader's failure): the property that needs it is left out.
class UnreadableObjects : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A document's objects as the audit reads them, whichever reader parsed them: the quick
// reader's own objects (QuickDocument.h) or qpdf's, converted (QpdfAuditSource.h). Both must
// give the same objects for the same file, so that both readers give the same audit.
class AuditSource {
public:
    virtual ~AuditSource() = default;

    virtual const PdfObject& trailer() = 0;
    // The value itself, or the object a reference names (null when there is none); a stream
    // is its dictionary, with isStream set. Valid as long as the source.
    virtual const PdfObject& resolve(const PdfObject& value, bool* isStream = nullptr) = 0;
    // resolve() for a use that needs only the entries keys of a dictionary; keys must outlive
    // the source, and every use of the same object must pass the same keys.
    virtual const PdfObject& resolveKeeping(const PdfObject& value,
                                            const std::vector<std::string_view>& /*keys*/,
                                            bool* isStream) {
        return resolve(value, isStream);
    }
};

// A dictionary's value for key, resolved; null when there is none or dictionary is none.
const PdfObject& valueOf(AuditSource& source, const PdfObject& dictionary, std::string_view key,
                         bool* isStream = nullptr);

bool isName(const PdfObject& value, std::string_view name);

} // namespace pdfinfodump
