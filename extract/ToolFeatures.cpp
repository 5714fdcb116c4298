#include "extract/ToolFeatures.h"

#include <algorithm>

namespace extract {

ToolFeatures featuresNamed(QByteArrayView text) {
    ToolFeatures features;
    const QByteArray names = text.toByteArray().replace(',', '\n');
    for (const QByteArray& name : names.split('\n')) {
        const QByteArray word = name.trimmed();
        features.audit = features.audit || word == "audit";
        features.auditFirstPage = features.auditFirstPage || word == "audit_first_page";
        features.serve = features.serve || word == "serve";
    }
    return features;
}

bool wantsAudit(const base::Columns& columns) {
    return std::any_of(columns.begin(), columns.end(), [](base::Property property) {
        return base::infoOf(property).source == base::Source::ToolAudit;
    });
}

QString auditUnavailableNote(const QString& toolPath, const base::Columns& columns) {
    QStringList empty;
    for (const base::Property property : columns)
        if (base::infoOf(property).source == base::Source::ToolAudit)
            empty.append(QLatin1String(base::infoOf(property).header));
    if (empty.isEmpty())
        return {};
    return QStringLiteral("%1 %2 empty: the tool %3 cannot report %4 (it does not name "
                          "\"audit\" among its features).")
        .arg(empty.join(QStringLiteral(", ")),
             empty.size() == 1 ? QStringLiteral("stays") : QStringLiteral("stay"), toolPath,
             empty.size() == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

} // namespace extract
