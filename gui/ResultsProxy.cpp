#include "gui/ResultsProxy.h"

#include "base/ResultsModel.h"

namespace gui {

ResultsProxy::ResultsProxy(base::ResultsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), results(model) {
    setSourceModel(&results);
    // A cell filled after its row came is filtered again.
    setDynamicSortFilter(true);
}

void ResultsProxy::setFilterText(const QString& wanted) {
    if (wanted == text)
        return;
    text = wanted;
    invalidateRowsFilter();
}

void ResultsProxy::setOnlyUnread(bool only) {
    if (only == unreadOnly)
        return;
    unreadOnly = only;
    invalidateRowsFilter();
}

void ResultsProxy::sort(int column, Qt::SortOrder order) {
    // The results model keeps its rows sorted as they arrive; the proxy keeps its order.
    results.sort(column, order);
}

QVariant ResultsProxy::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleDescriptionRole && index.isValid()) {
        const QString reason = results.unreadReason(sourceRow(index.row()));
        if (!reason.isEmpty())
            return QStringLiteral("Could not be read: %1").arg(reason);
        return {};
    }
    return QSortFilterProxyModel::data(index, role);
}

bool ResultsProxy::filterAcceptsRow(int row, const QModelIndex&) const {
    if (unreadOnly && results.unreadReason(row).isEmpty())
        return false;
    if (text.isEmpty())
        return true;
    for (int column = 0; column < results.columnCount(); ++column)
        if (results.data(results.index(row, column), Qt::DisplayRole)
                .toString()
                .contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

int ResultsProxy::sourceRow(int shownRow) const {
    return mapToSource(index(shownRow, 0)).row();
}

base::ResultsSnapshot ResultsProxy::shownSnapshot(const QList<int>& leftOut) const {
    base::ResultsSnapshot all = results.snapshot();
    if (rowCount() == all.rowCount() && text.isEmpty() && !unreadOnly)
        return withoutColumns(all, leftOut); // every row, in the model's order
    base::ResultsSnapshot shown;
    shown.columns = all.columns;
    shown.hasColumns = all.hasColumns;
    shown.rows.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        shown.rows.append(all.rows[sourceRow(row)]);
    return withoutColumns(shown, leftOut);
}

base::ResultsSnapshot withoutColumns(const base::ResultsSnapshot& snapshot,
                                     const QList<int>& leftOut) {
    QList<int> kept; // the columns after the path's that stay
    for (int column = 1; column < snapshot.headerCount(); ++column)
        if (!leftOut.contains(column))
            kept.append(column);
    if (kept.size() + 1 == snapshot.headerCount())
        return snapshot;
    base::ResultsSnapshot narrower;
    narrower.hasColumns = snapshot.hasColumns;
    for (const int column : kept)
        narrower.columns.append(snapshot.columns[column - 1]);
    narrower.rows.reserve(snapshot.rowCount());
    for (const base::ResultRowData& row : snapshot.rows) {
        base::ResultRowData copy;
        copy.path = row.path;
        copy.ticked = row.ticked;
        copy.unreadReason = row.unreadReason;
        for (qsizetype place = 0; place < kept.size(); ++place)
            copy.cells.setCell(static_cast<int>(place) + 1, row.cells.cell(kept[place]));
        narrower.rows.append(std::move(copy));
    }
    return narrower;
}

int ResultsProxy::shownUnread() const {
    int unread = 0;
    for (int row = 0; row < rowCount(); ++row)
        unread += results.unreadReason(sourceRow(row)).isEmpty() ? 0 : 1;
    return unread;
}

} // namespace gui
