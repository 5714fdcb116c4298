#pragma once

#include "tool/DocumentAudit.h"
#include "tool/DocumentFacts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class InputSource;

namespace pdfinfodump {

struct QuickRead {
    DocumentFacts facts;
    std::vector<std::string> warnings;
};

// The facts collectFacts() would collect through qpdf, read without it from a well-formed,
// unencrypted file whose page tree's counts add up: qpdf reads every cross-reference entry
// into a table, and every object of an object stream to get one of them, where this reads
// the few objects the facts need (QuickDocument.h). Nothing when the file is anything else,
// or anything qpdf would read with a warning, a repair or differently: qpdf reads it then.
// With audit, the audit facts too (DocumentAudit.h), all but Linearized.
std::optional<QuickRead> readQuickly(std::string_view whole,
                                     const std::optional<AuditLimits>& audit = std::nullopt);
std::optional<QuickRead> readQuickly(InputSource& source, std::int64_t size,
                                     const std::optional<AuditLimits>& audit = std::nullopt);

} // namespace pdfinfodump
