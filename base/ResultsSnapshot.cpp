#include "base/ResultsSnapshot.h"

namespace base {

QString ResultsSnapshot::header(int column) const {
    if (!hasColumns)
        return {};
    if (column == 0)
        return filenameHeader;
    if (column < 0 || column > columns.size())
        return {};
    return QLatin1String(infoOf(columns[column - 1]).header);
}

CellValue ResultsSnapshot::cell(int row, int column) const {
    if (row < 0 || row >= rows.size())
        return {};
    return column == 0 ? CellValue(rows[row].path) : rows[row].cells.cell(column);
}

void ResultsSnapshot::appendRow(const QString& path, const QList<CellValue>& values, bool ticked) {
    ResultRowData row;
    row.path = path;
    row.ticked = ticked;
    row.cells = CompactRow::ofValues(values);
    rows.append(std::move(row));
}

} // namespace base
