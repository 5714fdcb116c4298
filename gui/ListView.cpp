#include "gui/ListView.h"

namespace gui {

void ListView::holdLayouts(bool hold) {
    held = hold;
    if (!held && behind)
        doItemsLayout();
}

void ListView::doItemsLayout() {
    if (held) {
        behind = true;
        return;
    }
    behind = false;
    QTreeView::doItemsLayout();
}

void ListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles) {
    // Held, the list is not painted either; the next layout and paint show the new cells.
    // Passed on, a cell of a row not laid out yet would be looked for among all the rows.
    if (held) {
        behind = true;
        return;
    }
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

} // namespace gui
