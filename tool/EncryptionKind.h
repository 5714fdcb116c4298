#pragma once

#include "tool/AuditFacts.h"
#include "tool/AuditSource.h"

#include <optional>

namespace pdfinfodump {

// The cipher an encryption dictionary names: /V 1 is RC4 with 40 bits, /V 2 RC4 with its
// /Length (40 when absent; 40 and 128 named), /V 4 the method (/CFM) of its first crypt
// filter other than /Identity among those for streams, strings and embedded files (/AESV2
// is AES-128, /V2 RC4 with 128 bits), /V 5 AES-256. Nothing for anything else: another
// length, an unknown version or method, or no dictionary.
std::optional<EncryptionKind> encryptionKind(AuditSource& source, const PdfObject& dictionary);

} // namespace pdfinfodump
