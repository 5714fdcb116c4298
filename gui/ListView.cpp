#include "gui/ListView.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QPainter>

#include <algorithm>

namespace gui {

// Measures cells with the list's own delegates until one reaches the bound, and the rest as
// nothing: measuring a cell lays out its text, and the cells of a long column of paths or
// titles are mostly wider than the bound. QTreeView still chooses the rows it measures (all
// of a short list but hidden and spanned ones, a sample of a long one, a tree's rows with
// their indentation), so the fit is its own, cut to the bound: the rows measured as nothing
// come after a width that already reaches it.
class ListView::BoundedMeasure : public QAbstractItemDelegate {
public:
    explicit BoundedMeasure(const ListView& view) : list(view) {}

    void start(int limit) {
        bound = limit;
        widest = 0;
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (widest >= bound)
            return {};
        const QSize size = list.QTreeView::itemDelegateForIndex(index)->sizeHint(option, index);
        widest = std::max(widest, size.width());
        return size;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        list.QTreeView::itemDelegateForIndex(index)->paint(painter, option, index);
    }

private:
    const ListView& list;
    int bound = 0;
    mutable int widest = 0;
};

ListView::ListView(QWidget* parent)
    : QTreeView(parent), measure(std::make_unique<BoundedMeasure>(*this)) {}

ListView::~ListView() = default;

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
    // Only the measure of the column's cells may meet the bounded delegate. Rows of their own
    // heights are measured by the delegates too, on the way, to find the rows in view: left to
    // Qt. Rows of one height take it from the layout, which a pending relayout measures first.
    if (!uniformRowHeights())
        return std::min(QTreeView::sizeHintForColumn(column), bound);
    ensurePolished();
    const_cast<ListView*>(this)->executeDelayedItemsLayout();
    measure->start(bound);
    fitting = true;
    const int contents = QTreeView::sizeHintForColumn(column);
    fitting = false;
    return std::min(contents, bound);
}

QAbstractItemDelegate* ListView::itemDelegateForIndex(const QModelIndex& index) const {
    if (fitting)
        return measure.get();
    return QTreeView::itemDelegateForIndex(index);
}

} // namespace gui
