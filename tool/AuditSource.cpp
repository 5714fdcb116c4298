#include "tool/AuditSource.h"

namespace pdfinfodump {

const PdfObject& valueOf(AuditSource& source, const PdfObject& dictionary, std::string_view key,
                         bool* isStream) {
    static const PdfObject null;
    if (isStream) {
        *isStream = false;
    }
    const PdfObject* value =
        dictionary.is(PdfObject::Kind::Dictionary) ? dictionary.find(key) : nullptr;
    return value ? source.resolve(*value, isStream) : null;
}

bool isName(const PdfObject& value, std::string_view name) {
    return value.is(PdfObject::Kind::Name) && value.bytes == name;
}

} // namespace pdfinfodump
