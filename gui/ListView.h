#pragma once

#include <QTreeView>

namespace gui {

// A list of rows in columns, as both lists of the window are. While a long operation adds
// a row per file, the list can hold back its relayout, which otherwise runs after every
// insert: a pass over all rows, a measure of the first row's cells and of the header. Held,
// it catches up once when it is let go, as the paint pacer does a few times a second.
class ListView : public QTreeView {
public:
    using QTreeView::QTreeView;

    void holdLayouts(bool held);
    void doItemsLayout() override;

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;

private:
    bool held = false;
    // Rows came or cells changed while held: the list is laid out again when let go.
    bool behind = false;
};

} // namespace gui
