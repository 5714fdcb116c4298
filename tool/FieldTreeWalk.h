#pragma once

#include "tool/AuditSource.h"

namespace pdfinfodump {

struct FieldTreeFacts {
    // Terminal fields (no kid with a /T of its own; a kid without one is a widget) whose field
    // type, inherited or their own, is /Sig.
    long long signatureFields = 0;
    // Whether any field or widget of the tree has an action running JavaScript: its /A, or
    // its /AA's keystroke, format, validate or calculate action.
    bool javaScript = false;
};

// Walks the field tree of an /AcroForm dictionary from its /Fields, each field once. More
// than nodeLimit fields and widgets throws UnreadableObjects.
FieldTreeFacts walkFieldTree(AuditSource& source, const PdfObject& acroForm, long long nodeLimit,
                             long long chainLimit);

} // namespace pdfinfodump
