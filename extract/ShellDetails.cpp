#include "extract/ShellDetails.h"

#include "base/PropertySet.h"
#include "platform/FolderDetails.h"

namespace extract {

ShellDetails readShellDetails(const QString& path, const platform::FolderDetails::Entry& entry) {
    // Of the details, the row takes only the dates (and the document fields, which have no
    // source here).
    return {platform::FolderDetails::titles(),
            platform::FolderDetails::detailsOf(path, entry, QLocale::system(),
                                               platform::FolderDetails::Wanted::NameAndDates)};
}

RowCells shellDetailCells(const ShellDetails& details, const QStringList& headers) {
    static const QStringList copied = {
        base::titleHeader,    base::authorHeader,  base::subjectHeader, base::keywordsHeader,
        base::modifiedHeader, base::createdHeader, base::accessedHeader};
    RowCells cells;
    const qsizetype count = std::min(details.titles.size(), details.values.size());
    for (qsizetype j = 0; j < count; ++j) {
        if (details.values[j].isEmpty() || !copied.contains(details.titles[j]))
            continue;
        if (const int column = base::columnIndexOf(headers, details.titles[j]); column > 0)
            cells.append({column, details.values[j]});
    }
    return cells;
}

} // namespace extract
