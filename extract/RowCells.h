#pragma once

#include <QList>
#include <QString>

namespace extract {

// A text one source gives a cell of a results row (column 1 or more).
struct RowCell {
    int column = 0;
    QString text;
};
using RowCells = QList<RowCell>;

} // namespace extract
