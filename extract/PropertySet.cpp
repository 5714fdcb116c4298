#include "extract/PropertySet.h"

#include "app/ErrorReport.h"
#include "app/NumberText.h"
#include "app/Settings.h"

namespace extract {

const std::array<Property, 11>& properties() {
    static const std::array<Property, 11> set = {{
        {"Column1", "Check12", "PDF Version", "PDF Version"},
        {"Column2", "Check1", "Producer", "Producer"},
        {"Column3", "Check2", "Creator", "Creator"},
        {"Column4", "Check3", "Title", "Title"},
        {"Column5", "Check4", "Author", "Author"},
        {"Column6", "Check5", "Subject", "Subject"},
        {"Column7", "Check6", "Keywords", "Keywords"},
        {"Column8", "Check7", "Number of Pages", "Number Of Pages"},
        {"Column9", "Check8", "Date Modified", "Date Modified"},
        {"Column10", "Check9", "Date Created", "Date Created"},
        {"Column11", "Check10", "Date Accessed", "Date Accessed"},
    }};
    return set;
}

QStringList buildHeaderRow(app::ErrorReport& errors) {
    QStringList headers{filenameHeader};
    for (const Property& property : properties()) {
        bool wanted = true;
        errors.step([&] {
            const QString stored =
                app::ReadSetting(QLatin1String(property.key), QStringLiteral("1"));
            wanted = app::numberFromText(stored) == 1;
        });
        if (wanted)
            headers.append(QLatin1String(property.header));
    }
    return headers;
}

} // namespace extract
