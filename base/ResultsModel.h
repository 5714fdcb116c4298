#pragma once

#include "base/ResultsSnapshot.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QPersistentModelIndex>

#include <memory>

namespace base {

// The results table: a header row ("Filename" then the chosen properties) and one row per
// processed file, whose column 0 is the path and column c the cell under header c. Each row
// has a tick (a check box in column 0); only ticked rows go out. A row whose file could not
// be read shows a warning sign, with the reason as its tooltip. Clicking a header sorts the
// rows: page counts and dates by value, the rest by text. Once sorted, the rows stay in that
// order as rows come and cells are filled, until the header row is replaced.
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

    // Replaces the header row; the rows go as well.
    void setHeaders(const QStringList& headers);
    const QStringList& headers() const { return columns; }
    // The position of the first header that equals header exactly, or 0 when there is none
    // ("Filename" itself also gives 0, so a caller never writes over the path).
    int columnIndexOf(const QString& header) const;

    int count() const { return static_cast<int>(rows.size()); }
    // Adds an unticked row holding path, at the end or, once sorted, at its place; returns
    // its row number.
    int appendRow(const QString& path);
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);
    void tickAll();
    void markUnread(int row, const QString& reason);
    QString unreadReason(int row) const;
    bool removeAt(int row);
    // Removes every row; the header row stays.
    void clearRows();

    // The results as they are now, in the order shown.
    ResultsSnapshot snapshot() const { return {columns, rows}; }

    // The sign shown beside the path of a file that could not be read.
    void setUnreadIcon(const QIcon& icon) { unreadIcon = icon; }

private:
    struct SortState;
    struct SortStateDeleter {
        void operator()(SortState* state) const;
    };
    // Moves a row to its place in the order sorted by, if any; returns its new row number.
    int keepSorted(int row);
    // The column sorted by, -1 when none.
    int sortingColumn() const;

    QStringList columns;
    QList<ResultRowData> rows;
    QIcon unreadIcon;
    std::unique_ptr<SortState, SortStateDeleter> sorting; // none until sorted
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
    void setCell(int column, const QString& text) const;
    QString cell(int column) const;
    void markUnread(const QString& reason) const;
    QString unreadReason() const;
    void remove() const;

private:
    ResultsModel* model = nullptr;
    QPersistentModelIndex index;
};

} // namespace base
