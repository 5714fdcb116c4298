#include "base/PropertySet.h"

#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/Settings.h"

namespace base {

const std::array<Property, 11>& properties() {
    static const std::array<Property, 11> set = {{
        {"Column1", "Check12", "PDF Version", "PDF Version", "version"},
        {"Column2", "Check1", "Producer", "Producer", "producer"},
        {"Column3", "Check2", "Creator", "Creator", "creator"},
        {"Column4", "Check3", "Title", "Title", "title"},
        {"Column5", "Check4", "Author", "Author", "author"},
        {"Column6", "Check5", "Subject", "Subject", "subject"},
        {"Column7", "Check6", "Keywords", "Keywords", "keywords"},
        {"Column8", "Check7", "Number of Pages", "Number Of Pages", "pages"},
        {"Column9", "Check8", "Date Modified", "Date Modified", "modified"},
        {"Column10", "Check9", "Date Created", "Date Created", "created"},
        {"Column11", "Check10", "Date Accessed", "Date Accessed", "accessed"},
    }};
    return set;
}

QStringList buildHeaderRow(const ErrorReport& errors) {
    QStringList headers{filenameHeader};
    for (const Property& property : properties()) {
        bool wanted = true;
        errors.step([&] {
            const QString stored = readSetting(QLatin1String(property.key), QStringLiteral("1"));
            wanted = numberFromText(stored).valueOrThrow() == 1;
        });
        if (wanted)
            headers.append(QLatin1String(property.header));
    }
    return headers;
}

Result<QStringList> headerRowForNames(const QStringList& names) {
    QList<bool> wanted(static_cast<qsizetype>(properties().size()), false);
    for (const QString& name : names) {
        qsizetype found = -1;
        for (qsizetype i = 0; i < wanted.size(); ++i)
            if (name.compare(QLatin1String(properties()[static_cast<size_t>(i)].name),
                             Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            return Result<QStringList>::failure(
                QStringLiteral("\"%1\" is not a property.").arg(name));
        wanted[found] = true;
    }
    QStringList headers{filenameHeader};
    for (qsizetype i = 0; i < wanted.size(); ++i)
        if (wanted[i])
            headers.append(QLatin1String(properties()[static_cast<size_t>(i)].header));
    return headers;
}

} // namespace base
