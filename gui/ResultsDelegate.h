#pragma once

#include <QStyledItemDelegate>

namespace gui {

// Draws the results' cells: a path is shortened in its middle, so the file's own name stays
// in sight, other values at their end. A cell whose text does not fit shows its whole text
// as its tooltip; a cell with a tooltip of its own (why a file could not be read) keeps it.
class ResultsDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Whether a cell's text is cut off at the width of option's rectangle.
    bool isCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace gui
