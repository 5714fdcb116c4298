#include "output/ResultItem.h"

namespace output {

namespace {
bool isText(int role) {
    return role == Qt::DisplayRole || role == Qt::EditRole;
}
} // namespace

ResultItem::ResultItem(const QString& path) : QTreeWidgetItem(UserType) {
    row.setCell(0, path);
}

QVariant ResultItem::data(int column, int role) const {
    if (!isText(role))
        return QTreeWidgetItem::data(column, role);
    if (column >= row.cellCount())
        return {};
    return row.cell(column);
}

void ResultItem::setData(int column, int role, const QVariant& value) {
    if (!isText(role)) {
        QTreeWidgetItem::setData(column, role, value);
        return;
    }
    const QString text = value.toString();
    if (column < row.cellCount() && row.cell(column) == text)
        return;
    row.setCell(column, text);
    emitDataChanged();
}

} // namespace output
