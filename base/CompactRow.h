#pragma once

#include "base/CellValue.h"

#include <QByteArray>

namespace base {

// The values of one results row in one block of memory: each cell a tag byte and its
// payload (text in UTF-8 ended by a NUL, which texts never hold; a whole number or a file size
// in 8 bytes; a date and time or a page size in 17; an encryption or a form's kind in 1; a
// yes or no in the tag alone). A large results table takes a third of the memory that one
// object per cell would, and a copy of a row shares the block.
class CompactRow {
public:
    CellValue cell(int column) const;
    void setCell(int column, const CellValue& value);
    int cellCount() const;

private:
    // The byte range of a cell, tag included; an empty range past the end for a cell not set.
    std::pair<qsizetype, qsizetype> rangeOf(int column) const;
    // Where the cell that starts at `at` ends.
    qsizetype endOfCell(qsizetype at) const;
    QByteArray cells;
};

} // namespace base
