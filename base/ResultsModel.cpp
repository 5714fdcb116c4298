#include "base/ResultsModel.h"

#include "base/CellText.h"

namespace base {

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !hasColumns)
        return 0;
    return static_cast<int>(propertyColumns.size()) + 1;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || index.column() >= columnCount())
        return {};
    const ResultRowData& row = rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == 0 ? row.path : cellText(row.cells.cell(index.column()));
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (index.column() == 0 && !row.unreadReason.isEmpty())
            return unreadIcon;
        return {};
    case Qt::ToolTipRole:
        if (index.column() == 0 && !row.unreadReason.isEmpty())
            return row.unreadReason;
        return {};
    default:
        return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    setTicked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return headers().value(section);
    // What the header alone cannot say, such as that a PDF/A entry is a claim.
    if (role == Qt::ToolTipRole && section >= 1 && section <= propertyColumns.size())
        if (const char* tip = infoOf(propertyColumns[section - 1]).toolTip)
            return QString::fromUtf8(tip);
    return {};
}

void ResultsModel::setColumns(const Columns& columns) {
    beginResetModel();
    propertyColumns = columns;
    hasColumns = true;
    rows.clear();
    sorting.reset(); // a new table starts unsorted
    endResetModel();
}

int ResultsModel::columnOf(Property property) const {
    const qsizetype position = propertyColumns.indexOf(property);
    return position < 0 ? 0 : static_cast<int>(position) + 1;
}

int ResultsModel::appendRow(const QString& path) {
    ResultRowData data;
    data.path = path;
    return appendRow(data);
}

int ResultsModel::appendRow(const ResultRowData& data) {
    const int row = count();
    beginInsertRows({}, row, row);
    rows.append(data);
    endInsertRows();
    return keepSorted(row);
}

QString ResultsModel::path(int row) const {
    return row >= 0 && row < count() ? rows[row].path : QString();
}

CellValue ResultsModel::cell(int row, int column) const {
    if (row < 0 || row >= count())
        return {};
    return column == 0 ? CellValue(rows[row].path) : rows[row].cells.cell(column);
}

void ResultsModel::setCell(int row, int column, const CellValue& value) {
    if (row < 0 || row >= count() || column < 1)
        return;
    rows[row].cells.setCell(column, value);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    if (sortingColumn() == column)
        keepSorted(row);
}

bool ResultsModel::isTicked(int row) const {
    return row >= 0 && row < count() && rows[row].ticked;
}

void ResultsModel::setTicked(int row, bool ticked) {
    if (row < 0 || row >= count() || rows[row].ticked == ticked)
        return;
    rows[row].ticked = ticked;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void ResultsModel::tickAll() {
    for (ResultRowData& row : rows)
        row.ticked = true;
    if (!rows.isEmpty())
        emit dataChanged(index(0, 0), index(count() - 1, 0), {Qt::CheckStateRole});
}

void ResultsModel::markUnread(int row, const QString& reason) {
    if (row < 0 || row >= count())
        return;
    rows[row].unreadReason = reason;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::DecorationRole, Qt::ToolTipRole});
}

QString ResultsModel::unreadReason(int row) const {
    return row >= 0 && row < count() ? rows[row].unreadReason : QString();
}

bool ResultsModel::removeAt(int row) {
    if (row < 0 || row >= count())
        return false;
    beginRemoveRows({}, row, row);
    rows.removeAt(row);
    endRemoveRows();
    return true;
}

void ResultsModel::clearRows() {
    if (rows.isEmpty())
        return;
    beginRemoveRows({}, 0, count() - 1);
    rows.clear();
    endRemoveRows();
}

ResultRow ResultRow::append(ResultsModel& model, const QString& path) {
    ResultRow row;
    row.model = &model;
    row.index = QPersistentModelIndex(model.index(model.appendRow(path), 0));
    return row;
}

void ResultRow::setCell(int column, const CellValue& value) const {
    if (exists())
        model->setCell(index.row(), column, value);
}

CellValue ResultRow::cell(int column) const {
    return exists() ? model->cell(index.row(), column) : CellValue();
}

void ResultRow::markUnread(const QString& reason) const {
    if (exists())
        model->markUnread(index.row(), reason);
}

QString ResultRow::unreadReason() const {
    return exists() ? model->unreadReason(index.row()) : QString();
}

void ResultRow::remove() const {
    if (exists())
        model->removeAt(index.row());
}

} // namespace base
