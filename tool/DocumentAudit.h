#pragma once

#include "tool/AuditFacts.h"
#include "tool/AuditSource.h"

namespace pdfinfodump {

// Bounds of the walks, against loops and huge files: a walk that reaches one leaves out the
// properties it could not finish.
struct AuditLimits {
    long long pageTreeNodes = 1'000'000;
    // Of the first page, whose annotations are looked at.
    long long annotations = 100'000;
    long long nameTreeNodes = 100'000;
    long long formFields = 1'000'000;
    // Actions looked at from one action through its /Next chains.
    long long chainedActions = 1'000;
    // Whether every page is read, to tell whether the pages' sizes vary: in a long document
    // that costs more than the rest of its reading, so a caller that shows no page size
    // asks for the first page alone.
    bool everyPage = true;
};

// The audit properties a document's objects give, through source: the first page's size and
// whether any page differs (PageWalk.h), Tagged (the catalog's /MarkInfo /Marked true),
// Language (/Lang), Form (an /AcroForm dictionary, with fields or without; XFA when it holds
// /XFA as a stream or an array, as pdfinfo tells them), JavaScript, Attachments (the entries
// of the /EmbeddedFiles name tree, the document's attachments) and Signatures
// (FieldTreeWalk.h). JavaScript is looked for where pdfinfo looks by default: the /JavaScript
// name tree, the document's open action and /AA, the form fields' actions, and the first
// page's actions and its annotations'. Looking at the annotations of every page, as file
// attachment annotations would need too, reads most of a large document: a manual of 1,600
// pages has 58,000 link annotations. What cannot be read leaves out the properties
// that need it. Encryption, PasswordToOpen, PdfA and Linearized are left to the readers.
AuditFacts auditDocument(AuditSource& source, const AuditLimits& limits = {});

} // namespace pdfinfodump
