#pragma once

#include "tool/AuditFacts.h"
#include "tool/DumpText.h"

#include <string>

namespace pdfinfodump {

// Appends the audit's lines, in the dump's "Key: value" form, each one only when its
// property is known: PageSize (W H), PageSizeVaries, Encryption, PasswordToOpen, Tagged,
// Language (decoded and escaped as an InfoValue), PdfA, Linearized, Form, JavaScript,
// Attachments and Signatures. Yes and No answer the questions.
void appendAuditLines(std::string& out, const AuditFacts& audit, TextStyle style);

} // namespace pdfinfodump
