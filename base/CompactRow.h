#pragma once

#include "base/CellValue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace base {

// The values of one results row in one block of memory: each cell a tag byte and its
// payload (text in UTF-8 ended by a NUL, which texts never hold; a whole number or a file size
// in 8 bytes; a date and time or a page size in 17; an encryption or a form's kind in 1; a
// yes or no in the tag alone). A large results table takes a third of the memory that one
// object per cell would, and a copy of a row shares the block.
class CompactRow {
public:
    // A row of the values from column 1 on (column 0 is the path's, held elsewhere).
    static CompactRow ofValues(const QList<CellValue>& values);

    CellValue cell(int column) const;
    void setCell(int column, const CellValue& value);
    int cellCount() const;
    // Calls visit(column, value, text) for each cell in order, from column 0. A text cell
    // comes as its UTF-8 bytes in text, with value empty: the ways out that write UTF-8 take
    // them as they are rather than decode and encode them again. Any other cell comes as its
    // value, with text empty.
    template <typename Visit> void forEachCell(Visit&& visit) const {
        int column = 0;
        for (qsizetype at = 0; at < cells.size(); ++column) {
            const qsizetype end = endOfCell(at);
            if (const QByteArrayView text = textAt(at, end); !text.isEmpty())
                visit(column, CellValue(), text);
            else
                visit(column, valueAt(at, end), QByteArrayView());
            at = end;
        }
    }

private:
    // The value of the cell in the byte range, and a text cell's bytes (empty for others).
    CellValue valueAt(qsizetype begin, qsizetype end) const;
    QByteArrayView textAt(qsizetype begin, qsizetype end) const;
    // The byte range of a cell, tag included; an empty range past the end for a cell not set.
    std::pair<qsizetype, qsizetype> rangeOf(int column) const;
    // Where the cell that starts at `at` ends.
    qsizetype endOfCell(qsizetype at) const;
    QByteArray cells;
};

} // namespace base
