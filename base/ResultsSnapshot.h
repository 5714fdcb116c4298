#pragma once

#include "base/CompactRow.h"
#include "base/Properties.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace base {

// One row of the results: its file's path, its values (column c under column c's property,
// from 1), its tick, and why its file could not be read (empty when it was read).
struct ResultRowData {
    QString path;
    CompactRow cells;
    bool ticked = false;
    QString unreadReason;
};

// The results as they were at one moment, in the order shown: what the ways out read. Rows
// removed from the table afterwards stay here, and the rows share their values with the
// table, so even a copy of a large table costs little.
struct ResultsSnapshot {
    Columns columns;
    QList<ResultRowData> rows;
    // A table before its first run has no columns at all, not even the path's.
    bool hasColumns = true;

    // Columns with the path's: "Filename" and one per property.
    int headerCount() const { return hasColumns ? static_cast<int>(columns.size()) + 1 : 0; }
    QString header(int column) const;
    QStringList headers() const { return hasColumns ? headerRow(columns) : QStringList(); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    bool isTicked(int row) const { return row >= 0 && row < rows.size() && rows[row].ticked; }
    // The value of a cell: the path, as text, in column 0.
    CellValue cell(int row, int column) const;

    // Appends a row holding the path and the values of the columns after it.
    void appendRow(const QString& path, const QList<CellValue>& values, bool ticked = true);
};

} // namespace base
