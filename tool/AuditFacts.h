#pragma once

#include <optional>
#include <string>

namespace pdfinfodump {

// The cipher of an encrypted document, as the audit names it.
enum class EncryptionKind { None, Rc4With40Bits, Rc4With128Bits, Aes128, Aes256 };

enum class FormKind { None, AcroForm, Xfa };

// A page's size in points as shown: its crop box within its media box, turned by its rotation.
struct PageSize {
    double width = 0;
    double height = 0;
};

// What the dump's audit lines report (DumpFormat.h). A property that could not be read (a
// damaged object, a walk cut short by its limits, something encrypted) is absent, and so is
// its line.
struct AuditFacts {
    std::optional<PageSize> firstPageSize;
    // Whether any page's size, written as the dump writes it, differs from the first page's.
    std::optional<bool> pageSizeVaries;
    std::optional<EncryptionKind> encryption;
    // Whether the empty user password fails to open the document (an encryption of embedded
    // files alone opens it: the password guards the attachments).
    std::optional<bool> passwordToOpen;
    std::optional<bool> tagged;
    // The catalog's /Lang as stored (after decryption), a text string.
    std::optional<std::string> language;
    // The PDF/A claim of the XMP metadata, pdfaid:part and pdfaid:conformance ("2B"); absent
    // without a claim.
    std::optional<std::string> pdfA;
    std::optional<bool> linearized;
    std::optional<FormKind> form;
    std::optional<bool> javaScript;
    std::optional<long long> attachments;
    std::optional<long long> signatures;
};

} // namespace pdfinfodump
