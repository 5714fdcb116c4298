#include "gui/ListView.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTest>

namespace {

// The list with Qt's own measure of a column beside the list's.
class MeasuredList : public gui::ListView {
public:
    int qtWidth(int column) const { return QTreeView::sizeHintForColumn(column); }
    int fittedWidth(int column) const { return sizeHintForColumn(column); }
};

// Counts the cells it measures.
class CountingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++measured;
        return QStyledItemDelegate::sizeHint(option, index);
    }
    mutable int measured = 0;
};

} // namespace

class ListViewTest : public QObject {
    Q_OBJECT
private slots:
    // A fitted column is as wide as Qt measures its widest cell, up to the list's bound: the
    // measure may end early at the bound, but not give another width.
    void fitsAsQtMeasuresUpToTheBound() {
        QStandardItemModel model(0, 3);
        const QStringList shortTexts = {"No",       "Yes",           "PDF-1.4",
                                        "AV Wa",    "fi ffl",        "ي ع ر ب",
                                        "漢字かな", "e\u0301\u0301", "\U0001F600 x"};
        for (int row = 0; row < 40; ++row) {
            QList<QStandardItem*> items;
            auto* path = new QStandardItem(QStringLiteral("/srv/share/%1/report %2.pdf")
                                               .arg(QString(row % 7 + 1, QLatin1Char('w')))
                                               .arg(row));
            path->setCheckable(true);
            if (row % 5 == 0)
                path->setIcon(QIcon::fromTheme(QStringLiteral("dialog-warning")));
            items << path << new QStandardItem(shortTexts[row % shortTexts.size()])
                  << new QStandardItem(QString::number(row * 37));
            model.appendRow(items);
        }
        // The widest cells last, and a row hidden and a row spanned, each wider still.
        model.appendRow({new QStandardItem(QStringLiteral("/x")),
                         new QStandardItem(QStringLiteral("WWWWWWWW")),
                         new QStandardItem(QStringLiteral("1234567"))});
        for (const char* name : {"/y", "/z"})
            model.appendRow({new QStandardItem(QLatin1String(name)),
                             new QStandardItem(QStringLiteral("WWWWWWWWWWWWWWWW")),
                             new QStandardItem(QStringLiteral("123456789012345"))});

        MeasuredList list;
        list.setRootIsDecorated(false);
        list.setUniformRowHeights(true);
        list.setModel(&model);
        list.setRowHidden(model.rowCount() - 2, QModelIndex(), true);
        list.setFirstColumnSpanned(model.rowCount() - 1, QModelIndex(), true);
        list.resize(900, 300);
        const auto fitsAsQt = [&] {
            for (const double share : {1.0, 0.1}) {
                list.setFittedColumnShare(share);
                const int bound = static_cast<int>(list.viewport()->width() * share);
                for (int column = 0; column < 3; ++column) {
                    const int expected =
                        std::min(list.qtWidth(column),
                                 std::max(bound, list.header()->sectionSizeHint(column)));
                    QCOMPARE(list.fittedWidth(column), expected);
                }
            }
        };
        fitsAsQt();
        if (QTest::currentTestFailed())
            return;
        // A list longer than the header's precision is sampled around the rows in view; the
        // widest cells at the end stay out of the sample.
        list.setFittedColumnShare(1.0);
        const int everyRow = list.fittedWidth(1);
        list.header()->setResizeContentsPrecision(8);
        list.resize(900, 100);
        list.show(); // for the rows in view
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.scrollTo(model.index(15, 0), QAbstractItemView::PositionAtTop);
        QVERIFY(list.qtWidth(1) < everyRow);
        fitsAsQt();
        if (QTest::currentTestFailed())
            return;

        // A new delegate lays the rows out again, asking it for their heights: that relayout
        // still pending, the fit must not take those measures for the column's.
        list.header()->setResizeContentsPrecision(1000);
        list.setFittedColumnShare(0.1);
        const int pathWidth = list.fittedWidth(0);
        CountingDelegate counting;
        list.setItemDelegate(&counting);
        QCOMPARE(list.fittedWidth(0), pathWidth);

        // Once a path reaches the bound, the paths after it need no measure.
        counting.measured = 0;
        list.fittedWidth(0);
        QCOMPARE(counting.measured, 1);

        // Rows of their own heights are measured on the way to the rows in view; the fit
        // must not take those measures for the column's either.
        list.setUniformRowHeights(false);
        QStyledItemDelegate plain;
        list.setItemDelegate(&plain);
        QCOMPARE(list.fittedWidth(0), pathWidth);
    }
};

QTEST_MAIN(ListViewTest)
#include "tst_listview.moc"
