#include "extract/ShellDetails.h"

#include "extract/PropertySet.h"
#include "output/ResultsTable.h"
#include "platform/FolderDetails.h"

namespace extract {

ShellDetails readShellDetails(const QString& path) {
    return {platform::FolderDetails::titles(), platform::FolderDetails::detailsOf(path)};
}

void copyShellDetails(const ShellDetails& details, const output::ResultRow& row,
                      const std::function<int(const QString&)>& columnOf) {
    static const QStringList copied = {titleHeader,    authorHeader,  subjectHeader,
                                       keywordsHeader, modifiedHeader, createdHeader,
                                       accessedHeader};
    const qsizetype count = std::min(details.titles.size(), details.values.size());
    for (qsizetype j = 0; j < count; ++j) {
        if (details.values[j].isEmpty() || !copied.contains(details.titles[j]))
            continue;
        if (const int column = columnOf(details.titles[j]); column > 0)
            row.setCell(column, details.values[j]);
    }
}

} // namespace extract
