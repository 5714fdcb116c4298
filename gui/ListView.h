#pragma once

#include <QTreeView>

#include <memory>

namespace gui {

// A list of rows in columns, as both lists of the window are. While a long operation adds
// a row per file, the list can hold back its relayout, which otherwise runs after every
// insert: a pass over all rows, a measure of the first row's cells and of the header. Held,
// it catches up once when it is let go, as the paint pacer does a few times a second.
//
// A column fitted to its contents (a double-click on a divider, resizeColumnToContents)
// takes at most a share of the view's width, so one long value never pushes the others out;
// with rows of one height, its measure ends once a cell reaches that width.
class ListView : public QTreeView {
public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    void holdLayouts(bool held);
    void doItemsLayout() override;

    // The height the list asks for in a layout.
    void setPreferredHeight(int height) { preferredHeight = height; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The largest share of the viewport's width a column fitted to its contents takes.
    void setFittedColumnShare(double share) { fittedShare = share; }

    // The cells' delegate; while a column is fitted, one that ends the measure at the bound.
    QAbstractItemDelegate* itemDelegateForIndex(const QModelIndex& index) const override;

protected:
    // A list with the keyboard focus says so with a frame in the highlight colour, also when
    // it has no rows to show a current one.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
    int sizeHintForColumn(int column) const override;

private:
    class BoundedMeasure;

    bool held = false;
    // Rows came or cells changed while held: the list is laid out again when let go.
    bool behind = false;
    int preferredHeight = 0;
    double fittedShare = 1.0;
    std::unique_ptr<BoundedMeasure> measure;
    mutable bool fitting = false; // while a column is measured for its fit
};

} // namespace gui
