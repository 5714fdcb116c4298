#pragma once

#include <QByteArray>
#include <QString>

namespace base {

// The texts of one results row in one block of memory: each cell in UTF-8, ended by a NUL
// (cell texts never hold one). A large results table takes a third of the memory that one
// string per cell would, and a copy of a row shares the block.
class CompactRow {
public:
    QString cell(int column) const;
    void setCell(int column, const QString& text);
    int cellCount() const;

private:
    // The byte range of a cell; an empty range past the end for a cell not yet set.
    std::pair<qsizetype, qsizetype> rangeOf(int column) const;
    QByteArray cells;
};

} // namespace base
