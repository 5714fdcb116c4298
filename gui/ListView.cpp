#include "gui/ListView.h"

#include <QHeaderView>
#include <QPainter>

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

void ListView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!hasFocus())
        return;
    // Along the edges of the rows' area.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void ListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void ListView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

QSize ListView::sizeHint() const {
    const QSize natural = QTreeView::sizeHint();
    return {natural.width(), preferredHeight > 0 ? preferredHeight : natural.height()};
}

QSize ListView::minimumSizeHint() const {
    // The header and two rows.
    const int row = fontMetrics().height() + 4;
    const int frame = 2 * frameWidth();
    return {QTreeView::minimumSizeHint().width(), header()->sizeHint().height() + 2 * row + frame};
}

int ListView::sizeHintForColumn(int column) const {
    // The header's text counts too (resizeColumnToContents takes the larger of the two), so
    // the bound is never below it.
    const int bound = std::max(static_cast<int>(viewport()->width() * fittedShare),
                               header()->sectionSizeHint(column));
    return std::min(contentsWidth(column, bound), bound);
}

int ListView::contentsWidth(int column, int bound) const {
    const QAbstractItemModel* rows = model();
    const int count = rows ? rows->rowCount(rootIndex()) : 0;
    const int precision = header()->resizeContentsPrecision();
    // The widest cell of a column, as QTreeView measures it, but ended once a cell reaches
    // the bound: measuring a cell lays out its text, and the cells of a long column of paths
    // or titles are mostly wider than the bound. QTreeView measures every row of a flat list
    // up to its precision, but for hidden and spanned rows; a longer list is sampled, and a
    // tree's rows have rows of their own: both are left to it. Rows after the bound is
    // reached could only widen the column, so they need no look.
    if (count == 0 || (precision >= 0 && count > precision))
        return QTreeView::sizeHintForColumn(column);
    ensurePolished();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    // The tree's column indents its rows; a flat list's rows are all at the top level.
    const int indent = column == treePosition() && rootIsDecorated() ? indentation() : 0;
    int widest = 0;
    for (int row = 0; row < count && widest < bound; ++row) {
        if (rows->hasChildren(rows->index(row, 0, rootIndex())))
            return QTreeView::sizeHintForColumn(column);
        if (isRowHidden(row, rootIndex()) || isFirstColumnSpanned(row, rootIndex()))
            continue;
        const QModelIndex index = rows->index(row, column, rootIndex());
        widest =
            std::max(widest, itemDelegateForIndex(index)->sizeHint(option, index).width() + indent);
    }
    return widest;
}

} // namespace gui
