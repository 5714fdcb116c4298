#pragma once

#include "tool/AuditSource.h"

namespace pdfinfodump {

// The entries of a name tree: the pairs of its root's and every reachable node's /Names
// array whose name is a string, each node counted once however often /Kids names it. More
// than nodeLimit nodes throws UnreadableObjects.
long long nameTreeEntries(AuditSource& source, const PdfObject& root, long long nodeLimit);

} // namespace pdfinfodump
