#pragma once

#include "output/CompactRow.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;

namespace output {

// What the three ways out read of the results table: the headers, and per row its tick
// and its cells (column 0 is the path, column c the sub-item c).
class ResultsSource {
public:
    virtual ~ResultsSource() = default;
    virtual int headerCount() const = 0;
    virtual QString header(int column) const = 0;
    virtual int rowCount() const = 0;
    virtual bool isTicked(int row) const = 0;
    virtual QString cell(int row, int column) const = 0;
};

// The results table as it was at one moment: rows removed from the table afterwards stay
// here. Its rows share their texts with the table, so even a copy of a large table costs
// little memory.
struct TableSnapshot final : ResultsSource {
    struct Row {
        CompactRow texts;
        bool ticked = false;
    };
    QStringList headers;
    QList<Row> rows;

    int headerCount() const override { return static_cast<int>(headers.size()); }
    QString header(int column) const override { return headers.value(column); }
    int rowCount() const override { return static_cast<int>(rows.size()); }
    bool isTicked(int row) const override { return row < rows.size() && rows[row].ticked; }
    QString cell(int row, int column) const override {
        return row < rows.size() ? rows[row].texts.cell(column) : QString();
    }

    // Appends a row holding the given texts.
    void appendRow(const QStringList& cells, bool ticked = true);
};

// The results table on screen as it is now, read row by row, letting window events run
// meanwhile.
TableSnapshot readResults(const QTreeWidget* table);

} // namespace output
