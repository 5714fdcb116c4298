#include "tool/AuditLines.h"

#include "tool/PageGeometry.h"
#include "tool/PdfText.h"

#include <optional>
#include <string_view>

namespace pdfinfodump {
namespace {

const char* encryptionName(EncryptionKind kind) {
    switch (kind) {
    case EncryptionKind::None:
        return "None";
    case EncryptionKind::Rc4With40Bits:
        return "RC4-40";
    case EncryptionKind::Rc4With128Bits:
        return "RC4-128";
    case EncryptionKind::Aes128:
        return "AES-128";
    case EncryptionKind::Aes256:
        return "AES-256";
    }
    return "";
}

const char* formName(FormKind kind) {
    switch (kind) {
    case FormKind::None:
        return "None";
    case FormKind::AcroForm:
        return "AcroForm";
    case FormKind::Xfa:
        return "XFA";
    }
    return "";
}

void line(std::string& out, std::string_view key, std::string_view value) {
    out.append(key).append(": ").append(value) += '\n';
}

void answer(std::string& out, std::string_view key, const std::optional<bool>& value) {
    if (value) {
        line(out, key, *value ? "Yes" : "No");
    }
}

void count(std::string& out, std::string_view key, const std::optional<long long>& value) {
    if (value) {
        line(out, key, std::to_string(*value));
    }
}

} // namespace

void appendAuditLines(std::string& out, const AuditFacts& audit, TextStyle style) {
    if (audit.firstPageSize) {
        line(out, "PageSize",
             pointsText(audit.firstPageSize->width) + ' ' +
                 pointsText(audit.firstPageSize->height));
    }
    answer(out, "PageSizeVaries", audit.pageSizeVaries);
    if (audit.encryption) {
        line(out, "Encryption", encryptionName(*audit.encryption));
    }
    answer(out, "PasswordToOpen", audit.passwordToOpen);
    answer(out, "Tagged", audit.tagged);
    if (audit.language) {
        const std::u32string language = decodeTextString(*audit.language);
        if (!language.empty()) {
            out += "Language: ";
            appendDumpText(out, language, style);
            out += '\n';
        }
    }
    if (audit.pdfA) {
        std::string claim;
        appendDumpText(claim, decodeTextString("\xEF\xBB\xBF" + *audit.pdfA), style);
        line(out, "PdfA", claim);
    }
    answer(out, "Linearized", audit.linearized);
    if (audit.form) {
        line(out, "Form", formName(*audit.form));
    }
    answer(out, "JavaScript", audit.javaScript);
    count(out, "Attachments", audit.attachments);
    count(out, "Signatures", audit.signatures);
}

} // namespace pdfinfodump
