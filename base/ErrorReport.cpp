#include "base/ErrorReport.h"

#include "platform/Prompts.h"

namespace base {

ErrorReport::ErrorReport(QString where, QString prefix)
    : location(std::move(where)), module(std::move(prefix)) {}

void ErrorReport::report(const QString& description, unsigned line) const {
    platform::prompts().message(reportText(description, module, location, line),
                                QStringLiteral("Application Error"),
                                platform::MessageIcon::Warning);
}

QString ErrorReport::reportText(const QString& description, const QString& module,
                                const QString& location, unsigned line) {
    return description + QStringLiteral("\r\nin ") + module + QLatin1Char('.') + location +
           QStringLiteral(" at line ") + QString::number(line) +
           QStringLiteral("\r\rPlease email screenshot of this message to ") +
           QLatin1String(supportAddress);
}

} // namespace base
