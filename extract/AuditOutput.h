#pragma once

#include "base/CellValue.h"
#include "base/Properties.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace extract {

// The audit lines of a dump ("PageSize: 595 842", "Encryption: AES-256", ...), gathered line
// by line and then turned into the values of the audit's properties.
class AuditOutput {
public:
    // Takes the line when it is one of the audit's ("Key: value" with a key the audit writes);
    // false for any other line. A later line of the same key takes the place of an earlier one.
    bool take(const QString& line);

    // The value of an audit property, as the lines give it: PageSize with PageSizeVaries,
    // Encryption with PasswordToOpen, Yes and No as yes or no, the counts as whole numbers,
    // the language decoded as an InfoValue is, and the PDF/A claim as "PDF/A-2b". A value
    // written otherwise than the tool writes it stays the text it is; nothing when the lines
    // say nothing of it (or leave it empty).
    std::optional<base::CellValue> valueOf(base::Property property) const;

private:
    QHash<QString, QString> texts; // by key, as written
};

} // namespace extract
