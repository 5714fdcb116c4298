#pragma once

#include "base/ResultsSnapshot.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QPersistentModelIndex>

#include <optional>

namespace base {

// The results table: the columns ("Filename" then the chosen properties) and one row per
// processed file, whose column 0 is the path and column c the value under column c's
// property. Each row has a tick (a check box in column 0); only ticked rows go out. A row
// whose file could not be read shows a warning sign, with the reason as its tooltip.
// Clicking a header sorts the rows: numbers and dates by value, the rest by text. Once
// sorted, the rows stay in that order as rows come and cells are filled, until the columns
// are replaced.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Replaces the columns; the rows go as well.
    void setColumns(const Columns& columns);
    const Columns& columns() const { return propertyColumns; }
    // "Filename" and the columns' headers; none before the first columns are set.
    QStringList headers() const { return hasColumns ? headerRow(propertyColumns) : QStringList(); }
    // The column of a property, or 0 when the table has none (0 is the path's, which no
    // property's value may overwrite).
    int columnOf(Property property) const;

    int count() const { return static_cast<int>(rows.size()); }
    // Adds an unticked row holding path, at the end or, once sorted, at its place; returns
    // its row number.
    int appendRow(const QString& path);
    // The same for a whole row, its tick included.
    int appendRow(const ResultRowData& row);
    QString path(int row) const;
    // A cell's value; column 0 gives the path as text.
    CellValue cell(int row, int column) const;
    void setCell(int row, int column, const CellValue& value);
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);
    void tickAll();
    void markUnread(int row, const QString& reason);
    QString unreadReason(int row) const;
    bool removeAt(int row);
    // Removes every row; the columns stay.
    void clearRows();

    // The results as they are now, in the order shown.
    ResultsSnapshot snapshot() const { return {propertyColumns, rows, hasColumns}; }

    // The sign shown beside the path of a file that could not be read.
    void setUnreadIcon(const QIcon& icon) { unreadIcon = icon; }

private:
    struct SortState {
        int column = -1;
        Qt::SortOrder order = Qt::AscendingOrder;
    };
    // Moves a row to its place in the order sorted by, if any; returns its new row number.
    int keepSorted(int row);
    // The column sorted by, -1 when none.
    int sortingColumn() const;

    Columns propertyColumns;
    bool hasColumns = false; // until the first run sets them
    QList<ResultRowData> rows;
    QIcon unreadIcon;
    std::optional<SortState> sorting; // none until sorted
};

// A row of the results that may go while an operation still holds it ("Clear Results",
// the Delete key and sorting stay usable during long operations): it follows its row when
// rows move, and writes to a removed row do nothing.
class ResultRow {
public:
    ResultRow() = default;
    // Appends a row holding path, unticked.
    static ResultRow append(ResultsModel& model, const QString& path);

    bool exists() const { return model && index.isValid(); }
    void setCell(int column, const CellValue& value) const;
    CellValue cell(int column) const;
    void markUnread(const QString& reason) const;
    QString unreadReason() const;
    void remove() const;

private:
    ResultsModel* model = nullptr;
    QPersistentModelIndex index;
};

} // namespace base
