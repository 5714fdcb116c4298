#include "base/ResultsSnapshot.h"

namespace base {

void ResultsSnapshot::appendRow(const QStringList& cells, bool ticked) {
    ResultRowData row;
    row.ticked = ticked;
    for (qsizetype column = 0; column < cells.size(); ++column)
        row.texts.setCell(static_cast<int>(column), cells[column]);
    rows.append(std::move(row));
}

} // namespace base
