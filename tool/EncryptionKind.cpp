#include "tool/EncryptionKind.h"

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

std::optional<EncryptionKind> cryptFilterKind(AuditSource& source, const PdfObject& dictionary) {
    for (const char* key : {"StmF", "StrF", "EFF"}) {
        const PdfObject& name = valueOf(source, dictionary, key);
        if (!name.is(Kind::Name) || name.bytes == "Identity") {
            continue;
        }
        const PdfObject& filter = valueOf(source, valueOf(source, dictionary, "CF"), name.bytes);
        const PdfObject& method = valueOf(source, filter, "CFM");
        if (isName(method, "AESV2")) {
            return EncryptionKind::Aes128;
        }
        if (isName(method, "V2")) {
            return EncryptionKind::Rc4With128Bits;
        }
        if (isName(method, "AESV3")) {
            return EncryptionKind::Aes256;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<EncryptionKind> encryptionKind(AuditSource& source, const PdfObject& dictionary) {
    bool isStream = false;
    const PdfObject& encrypt = source.resolve(dictionary, &isStream);
    const PdfObject& version = valueOf(source, encrypt, "V");
    if (isStream || !version.is(Kind::Integer)) {
        return std::nullopt;
    }
    switch (version.number) {
    case 1:
        return EncryptionKind::Rc4With40Bits;
    case 2: {
        const PdfObject& length = valueOf(source, encrypt, "Length");
        const long long bits = length.is(Kind::Integer) ? length.number : 40;
        if (bits == 40 || bits == 128) {
            return bits == 40 ? EncryptionKind::Rc4With40Bits : EncryptionKind::Rc4With128Bits;
        }
        return std::nullopt;
    }
    case 4:
        return cryptFilterKind(source, encrypt);
    case 5:
        return EncryptionKind::Aes256;
    default:
        return std::nullopt;
    }
}

} // namespace pdfinfodump
