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
    const int contents = QTreeView::sizeHintForColumn(column);
    // The header's text counts too (resizeColumnToContents takes the larger of the two), so
    // the bound is never below it.
    const int bound = std::max(static_cast<int>(viewport()->width() * fittedShare),
                               header()->sectionSizeHint(column));
    return std::min(contents, bound);
}

} // namespace gui
