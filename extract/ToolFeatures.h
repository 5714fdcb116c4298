#pragma once

#include "base/Properties.h"

#include <QByteArrayView>
#include <QString>

namespace extract {

// What a tool does beyond pdftk's dump, as it names its features: "audit" (the audit's lines
// after the dump, on request), "audit_first_page" (the audit without reading every page) and
// "serve" (one process reading file after file).
struct ToolFeatures {
    bool audit = false;
    bool auditFirstPage = false;
    bool serve = false;
};

// The features named in the output of "TOOL --features" (one a line) or in the list of a
// serving tool's ready line (comma-separated). A tool that does not serve is asked for none:
// every tool that has the audit serves too.
ToolFeatures featuresNamed(QByteArrayView text);

// Whether any of the columns is filled from the audit's lines.
bool wantsAudit(const base::Columns& columns);

// The one note of a run whose tool cannot give the audit's columns: which columns stay empty
// and why.
QString auditUnavailableNote(const QString& toolPath, const base::Columns& columns);

} // namespace extract
