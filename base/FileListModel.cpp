#include "base/FileListModel.h"

namespace base {

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() != 0 || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return files[index.row()];
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return header;
    return {};
}

void FileListModel::setHeader(const QString& text) {
    header = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void FileListModel::append(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    beginInsertRows({}, count(), count() + static_cast<int>(paths.size()) - 1);
    files.append(paths);
    endInsertRows();
}

bool FileListModel::removeAt(int row) {
    if (row < 0 || row >= count())
        return false;
    beginRemoveRows({}, row, row);
    files.removeAt(row);
    endRemoveRows();
    return true;
}

void FileListModel::clear() {
    beginResetModel();
    files.clear();
    endResetModel();
}

void FileListModel::setPath(int row, const QString& path) {
    if (row < 0 || row >= count() || files[row] == path)
        return;
    files[row] = path;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

} // namespace base
