#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace base {

// The files the next extraction run processes: one path per row, in the order of the run.
// Rows keep the order in which they were added until they are moved, and a path may be
// listed twice. The list has one column, whose header the window names.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void setHeader(const QString& text);

    int count() const { return static_cast<int>(files.size()); }
    // The path of a row; empty when there is no such row.
    QString path(int row) const { return files.value(row); }
    const QStringList& paths() const { return files; }
    // True when a row's path equals text exactly, letter case included.
    bool contains(const QString& text) const { return files.contains(text); }

    // Appends one row per path, in order.
    void append(const QStringList& paths);
    // Removes a row; false when there is none.
    bool removeAt(int row);
    void clear();
    // Replaces the path of a row (reordering exchanges the paths of two rows).
    void setPath(int row, const QString& path);

private:
    QStringList files;
    QString header;
};

} // namespace base
