#include "app/BusyState.h"
#include "output/CompactRow.h"
#include "output/ResultItem.h"
#include "output/ResultsSource.h"
#include "output/ResultsTable.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QKeyEvent>
#include <QSignalSpy>

using output::ColumnIndexOf;

namespace {
void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

QStringList paths(const QTreeWidget* table) {
    QStringList rows;
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        rows.append(table->topLevelItem(i)->text(0));
    return rows;
}
} // namespace

class ResultsTableTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        window = testsupport::makeMainWindow();
        output::setHeaders(window->ListView2, {"Filename", "PDF Version", "Producer", "Number Of Pages"});
        for (const char* path : {"/a.pdf", "/b.pdf", "/c.pdf"})
            output::ResultRow::append(window->ListView2, QLatin1String(path));
    }
    void cleanup() { window.reset(); }

    void compactRowsKeepEveryCellApart() {
        output::CompactRow row;
        QCOMPARE(row.cellCount(), 0);
        QCOMPARE(row.cell(0), QString());
        row.setCell(3, QString::fromUtf8("中文 😀"));
        QCOMPARE(row.cellCount(), 4);
        row.setCell(0, "/docs/Zoë.pdf");
        row.setCell(1, "first");
        row.setCell(1, "a longer replacement");
        row.setCell(2, "");
        row.setCell(5, QStringLiteral("with") + QChar(0) + QStringLiteral("NUL"));
        QCOMPARE(row.cell(0), QString::fromUtf8("/docs/Zoë.pdf"));
        QCOMPARE(row.cell(1), QStringLiteral("a longer replacement"));
        QCOMPARE(row.cell(2), QString());
        QCOMPARE(row.cell(3), QString::fromUtf8("中文 😀"));
        QCOMPARE(row.cell(4), QString());
        QCOMPARE(row.cell(5), QStringLiteral("withNUL"));
        QCOMPARE(row.cell(9), QString());
        QCOMPARE(row.cell(-1), QString());
        output::CompactRow copy = row; // shares, then parts when changed
        copy.setCell(1, "changed");
        QCOMPARE(row.cell(1), QStringLiteral("a longer replacement"));
        QCOMPARE(copy.cell(3), QString::fromUtf8("中文 😀"));
    }

    void resultItemsShowTheirTextsAndKeepTheirTick() {
        QTreeWidget* table = window->ListView2;
        auto row = output::ResultRow::append(table, "/z.pdf");
        QSignalSpy changes(table->model(), &QAbstractItemModel::dataChanged);
        row.setCell(2, "Producer Z");
        QCOMPARE(changes.size(), 1);
        row.setCell(2, "Producer Z"); // unchanged: nothing to repaint
        QCOMPARE(changes.size(), 1);
        QTreeWidgetItem* item = table->topLevelItem(3);
        QCOMPARE(item->text(0), QStringLiteral("/z.pdf"));
        QCOMPARE(item->text(2), QStringLiteral("Producer Z"));
        QCOMPARE(table->model()->data(table->model()->index(3, 2)).toString(), QStringLiteral("Producer Z"));
        QCOMPARE(item->text(3), QString());
        item->setCheckState(0, Qt::Checked);
        QCOMPARE(item->checkState(0), Qt::Checked);
        QCOMPARE(item->text(0), QStringLiteral("/z.pdf"));
    }

    void aSnapshotKeepsRowsTheTableLoses() {
        window->ListView2->topLevelItem(1)->setCheckState(0, Qt::Checked);
        output::ResultRow(output::ResultRow::append(window->ListView2, "/plain")).setCell(1, "1.4");
        new QTreeWidgetItem(window->ListView2, {"/other item", "v"});
        const output::TableSnapshot snapshot = output::readResults(window->ListView2);
        QTest::mouseClick(window->PushButton5, Qt::LeftButton);
        QCOMPARE(snapshot.headerCount(), 4);
        QCOMPARE(snapshot.header(2), QStringLiteral("Producer"));
        QCOMPARE(snapshot.rowCount(), 5);
        QVERIFY(!snapshot.isTicked(0));
        QVERIFY(snapshot.isTicked(1));
        QCOMPARE(snapshot.cell(3, 0), QStringLiteral("/plain"));
        QCOMPARE(snapshot.cell(3, 1), QStringLiteral("1.4"));
        QCOMPARE(snapshot.cell(4, 1), QStringLiteral("v"));
        QCOMPARE(snapshot.cell(9, 0), QString());
    }

    void columnsAreFoundByTheirExactHeader() {
        const QTreeWidget* table = window->ListView2;
        QCOMPARE(ColumnIndexOf(table, "Producer"), 2);
        QCOMPARE(ColumnIndexOf(table, "PDF Version"), 1);
        QCOMPARE(ColumnIndexOf(table, "Number of Pages"), 0);
        QCOMPARE(ColumnIndexOf(table, "producer"), 0);
        QCOMPARE(ColumnIndexOf(table, "Filename"), 0);
        QCOMPARE(ColumnIndexOf(table, "Title"), 0);
        output::setHeaders(window->ListView2, {"Filename", "Title", "Title"});
        QCOMPARE(ColumnIndexOf(table, "Title"), 1);
    }

    void rowsStartUntickedAndAreTickedTogether() {
        QCOMPARE(window->ListView2->topLevelItem(0)->checkState(0), Qt::Unchecked);
        output::tickAllRows(window->ListView2);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(window->ListView2->topLevelItem(i)->checkState(0), Qt::Checked);
    }

    void aRemovedRowTakesNoWrites() {
        auto row = output::ResultRow::append(window->ListView2, "/d.pdf");
        row.setCell(2, "Producer X");
        QCOMPARE(row.cell(2), QStringLiteral("Producer X"));
        QTest::mouseClick(window->PushButton5, Qt::LeftButton);
        QVERIFY(!row.exists());
        row.setCell(2, "late value"); // no crash, no row brought back
        QCOMPARE(row.cell(2), QString());
        QCOMPARE(window->ListView2->topLevelItemCount(), 0);
    }

    void clearResultsKeepsTheHeaders() {
        QTest::mouseClick(window->PushButton5, Qt::LeftButton);
        QCOMPARE(window->ListView2->topLevelItemCount(), 0);
        QCOMPARE(window->ListView2->columnCount(), 4);
        QCOMPARE(window->ListView2->headerItem()->text(2), QStringLiteral("Producer"));
        // Also while busy.
        output::ResultRow::append(window->ListView2, "/e.pdf");
        app::BusyScope busy(window.get());
        QTest::mouseClick(window->PushButton5, Qt::LeftButton);
        QCOMPARE(window->ListView2->topLevelItemCount(), 0);
    }

    void deleteKeyRemovesTheSelectedRowUnlessBusy() {
        QTreeWidget* table = window->ListView2;
        table->setCurrentItem(table->topLevelItem(1));
        {
            app::BusyScope busy(window.get());
            pressKey(table, Qt::Key_Delete);
            QCOMPARE(paths(table), (QStringList{"/a.pdf", "/b.pdf", "/c.pdf"}));
        }
        pressKey(table, Qt::Key_Backspace);
        QCOMPARE(table->topLevelItemCount(), 3);
        pressKey(table, Qt::Key_Delete);
        QCOMPARE(paths(table), (QStringList{"/a.pdf", "/c.pdf"}));
        table->clearSelection();
        pressKey(table, Qt::Key_Delete);
        QCOMPARE(table->topLevelItemCount(), 2);
        table->clear();
        pressKey(table, Qt::Key_Delete);
        QCOMPARE(table->topLevelItemCount(), 0);
    }

private:
    std::unique_ptr<app::Form1> window;
};

PARVILON_TEST_MAIN(ResultsTableTest)
#include "tst_resultstable.moc"
