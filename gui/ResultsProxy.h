#pragma once

#include "base/ResultsSnapshot.h"

#include <QSortFilterProxyModel>

namespace base {
class ResultsModel;
}

namespace gui {

// The results as the window shows them: the rows that have a cell containing the filter text
// (in any letter case, as the cell is shown), or only the rows of files that could not be
// read. The order is the results model's own: sorting is handed to it, so rows that arrive
// later still take their place. A row's accessible description is why its file could not be
// read.
class ResultsProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ResultsProxy(base::ResultsModel& results, QObject* parent = nullptr);

    void setFilterText(const QString& text);
    QString filterText() const { return text; }
    void setOnlyUnread(bool only);
    bool onlyUnread() const { return unreadOnly; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The rows shown, in the order shown, with their ticks, less the columns left out (by
    // their column number): what the ways out take.
    base::ResultsSnapshot shownSnapshot(const QList<int>& leftOut = {}) const;
    // The results model's row of a shown row.
    int sourceRow(int shownRow) const;
    // How many shown rows are of files that could not be read.
    int shownUnread() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    base::ResultsModel& results;
    QString text;
    bool unreadOnly = false;
};

// The snapshot without the columns left out (by their column number; 0, the path's, stays).
base::ResultsSnapshot withoutColumns(const base::ResultsSnapshot& snapshot,
                                     const QList<int>& leftOut);

} // namespace gui
