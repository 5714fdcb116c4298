#pragma once

#include "base/CompactRow.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace base {

// One row of the results: its texts (column 0 the path, column c the cell under header
// c), its tick, and why its file could not be read (empty when it was read).
struct ResultRowData {
    CompactRow texts;
    bool ticked = false;
    QString unreadReason;
};

// The results as they were at one moment, in the order shown: what the three ways out
// read. Rows removed from the table afterwards stay here, and the rows share their texts
// with the table, so even a copy of a large table costs little.
struct ResultsSnapshot {
    QStringList headers;
    QList<ResultRowData> rows;

    int headerCount() const { return static_cast<int>(headers.size()); }
    QString header(int column) const { return headers.value(column); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    bool isTicked(int row) const { return row >= 0 && row < rows.size() && rows[row].ticked; }
    QString cell(int row, int column) const {
        return row >= 0 && row < rows.size() ? rows[row].texts.cell(column) : QString();
    }

    // Appends a row holding the given texts.
    void appendRow(const QStringList& cells, bool ticked = true);
};

} // namespace base
