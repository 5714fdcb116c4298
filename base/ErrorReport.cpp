#include "base/ErrorReport.h"

namespace base {

ErrorReport::ErrorReport(ErrorSink& sink, QString where, QString prefix)
    : errors(&sink), procedure(std::move(where)), module(std::move(prefix)) {}

void ErrorReport::report(const QString& description, unsigned line) const {
    errors->report(description, {module, procedure, line});
}

QString ErrorReport::reportText(const QString& description, const ErrorLocation& where) {
    return description + QStringLiteral("\r\nin ") + where.module + QLatin1Char('.') +
           where.procedure + QStringLiteral(" at line ") + QString::number(where.line) +
           QStringLiteral("\r\rPlease email screenshot of this message to ") +
           QLatin1String(supportAddress);
}

void CollectedErrors::report(const QString& description, const ErrorLocation& where) {
    const std::lock_guard lock(mutex);
    kept.append({description, where});
}

void CollectedErrors::passOn(ErrorSink& sink) {
    QList<Kept> taken;
    {
        const std::lock_guard lock(mutex);
        taken.swap(kept);
    }
    for (const Kept& report : taken)
        sink.report(report.description, report.where);
}

} // namespace base
