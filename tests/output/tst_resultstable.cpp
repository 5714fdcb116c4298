#include "app/BusyState.h"
#include "output/ResultsTable.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QKeyEvent>

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
