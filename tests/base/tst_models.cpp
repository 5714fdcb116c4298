#include "base/FileListModel.h"
#include "base/ResultsModel.h"
#include "tests/support/TestMain.h"

#include <QSignalSpy>

namespace {

QStringList column(const base::ResultsModel& results, int column) {
    QStringList cells;
    for (int row = 0; row < results.count(); ++row)
        cells.append(results.cell(row, column));
    return cells;
}

} // namespace

class ModelsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        results = std::make_unique<base::ResultsModel>();
        results->setHeaders({"Filename", "PDF Version", "Producer", "Number Of Pages"});
        for (const char* path : {"/a.pdf", "/b.pdf", "/c.pdf"})
            results->appendRow(QLatin1String(path));
    }

    void compactRowsKeepEveryCellApart() {
        base::CompactRow row;
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
        base::CompactRow copy = row; // shares, then parts when changed
        copy.setCell(1, "changed");
        QCOMPARE(row.cell(1), QStringLiteral("a longer replacement"));
        QCOMPARE(copy.cell(3), QString::fromUtf8("中文 😀"));
    }

    void fileListKeepsOrderAndDuplicates() {
        base::FileListModel files;
        QSignalSpy inserted(&files, &QAbstractItemModel::rowsInserted);
        files.append({"/b.pdf", "/a.pdf"});
        files.append({"/a.pdf"});
        files.append({});
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(files.paths(), (QStringList{"/b.pdf", "/a.pdf", "/a.pdf"}));
        QVERIFY(files.contains("/a.pdf") && !files.contains("/A.pdf"));
        files.setPath(0, "/c.pdf");
        QCOMPARE(files.data(files.index(0, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("/c.pdf"));
        QVERIFY(files.removeAt(1));
        QVERIFY(!files.removeAt(5) && !files.removeAt(-1));
        QCOMPARE(files.paths(), (QStringList{"/c.pdf", "/a.pdf"}));
        QCOMPARE(files.path(7), QString());
        files.clear();
        QCOMPARE(files.count(), 0);
    }

    void cellsShowTheirTextsAndRowsTheirTicks() {
        QSignalSpy changes(results.get(), &QAbstractItemModel::dataChanged);
        results->setCell(2, 2, "Producer Z");
        QCOMPARE(changes.size(), 1);
        QCOMPARE(results->data(results->index(2, 2), Qt::DisplayRole).toString(),
                 QStringLiteral("Producer Z"));
        QCOMPARE(results->data(results->index(2, 0), Qt::CheckStateRole), QVariant(Qt::Unchecked));
        QVERIFY(results->flags(results->index(2, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(results->flags(results->index(2, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(results->setData(results->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(results->isTicked(2) && !results->isTicked(0));
        results->tickAll();
        QVERIFY(results->isTicked(0) && results->isTicked(1));
        results->markUnread(1, "pdftk: /b.pdf: wrong password");
        QCOMPARE(results->data(results->index(1, 0), Qt::ToolTipRole).toString(),
                 QStringLiteral("pdftk: /b.pdf: wrong password"));
        QVERIFY(!results->data(results->index(0, 0), Qt::ToolTipRole).isValid());
    }

    void columnsAreFoundByTheirExactHeader() {
        QCOMPARE(results->columnIndexOf("Producer"), 2);
        QCOMPARE(results->columnIndexOf("PDF Version"), 1);
        QCOMPARE(results->columnIndexOf("Number of Pages"), 0);
        QCOMPARE(results->columnIndexOf("producer"), 0);
        QCOMPARE(results->columnIndexOf("Filename"), 0);
        QCOMPARE(results->columnIndexOf("Title"), 0);
        results->setHeaders({"Filename", "Title", "Title"});
        QCOMPARE(results->columnIndexOf("Title"), 1);
        QCOMPARE(results->count(), 0); // new headers, new rows
    }

    // A snapshot keeps what the table had, whatever happens to the table afterwards.
    void aSnapshotKeepsRowsTheTableLoses() {
        results->setTicked(1, true);
        results->setCell(0, 1, "1.4");
        const base::ResultsSnapshot snapshot = results->snapshot();
        results->setCell(0, 1, "2.0");
        results->clearRows();
        QCOMPARE(snapshot.headerCount(), 4);
        QCOMPARE(snapshot.header(2), QStringLiteral("Producer"));
        QCOMPARE(snapshot.rowCount(), 3);
        QVERIFY(!snapshot.isTicked(0) && snapshot.isTicked(1));
        QCOMPARE(snapshot.cell(0, 1), QStringLiteral("1.4"));
        QCOMPARE(snapshot.cell(9, 0), QString());
        QCOMPARE(results->columnCount(), 4); // clearing keeps the headers
    }

    // A row held by an operation follows its row when rows are sorted or removed, and a
    // removed row takes no writes.
    void heldRowsFollowTheirRows() {
        const base::ResultRow held = base::ResultRow::append(*results, "/0.pdf");
        held.setCell(3, "1");
        results->sort(3, Qt::AscendingOrder);
        QCOMPARE(results->cell(0, 0), QStringLiteral("/0.pdf"));
        held.setCell(2, "written after the sort");
        QCOMPARE(results->cell(0, 2), QStringLiteral("written after the sort"));
        results->removeAt(0);
        QVERIFY(!held.exists());
        held.setCell(2, "late value"); // no crash, no row brought back
        QCOMPARE(column(*results, 2), (QStringList{"", "", ""}));
    }

    // Pages and dates sort by value, text by letters; empty cells come last either way.
    void sortingByValue_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("pages") << "Number Of Pages" << QStringList{"12", "", "9", "100"}
                               << QStringList{"9", "12", "100", ""};
        QTest::newRow("dates") << "Date Modified"
                               << QStringList{"12/1/2021 9:00:00 AM", "1/15/2022", "",
                                              "12/1/2021 8:00:00 PM", "2/1/2021 10:00 AM"}
                               << QStringList{"2/1/2021 10:00 AM", "12/1/2021 9:00:00 AM",
                                              "12/1/2021 8:00:00 PM", "1/15/2022", ""};
        QTest::newRow("text") << "Title" << QStringList{"beta", "", "Alpha", "alpha", "Gamma"}
                              << QStringList{"Alpha", "alpha", "beta", "Gamma", ""};
    }
    void sortingByValue() {
        QFETCH(QString, header);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, ascending);
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        base::ResultsModel model;
        model.setHeaders({"Filename", header});
        for (const QString& text : cells)
            model.setCell(model.appendRow("/x.pdf"), 1, text);
        model.sort(1, Qt::AscendingOrder);
        QCOMPARE(column(model, 1), ascending);
        model.sort(1, Qt::DescendingOrder);
        QStringList descending = ascending;
        descending.removeAll(QString());
        std::reverse(descending.begin(), descending.end());
        while (descending.size() < ascending.size())
            descending.append(QString());
        QCOMPARE(column(model, 1), descending);
    }

private:
    std::unique_ptr<base::ResultsModel> results;
};

PARVILON_TEST_MAIN(ModelsTest)
#include "tst_models.moc"
