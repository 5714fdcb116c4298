#include "base/CellText.h"
#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/Properties.h"
#include "base/ResultsModel.h"
#include "base/Settings.h"
#include "platform/DateTimeFormats.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestMain.h"

#include <QDateTime>
#include <QSignalSpy>

#include <limits>

using base::CellValue;
using base::DateTimeValue;
using base::EncryptionValue;
using base::Property;

namespace {

CellValue moment(DateTimeValue::Kind kind, QDate date, QTime time = {},
                 std::optional<int> offsetSeconds = std::nullopt) {
    return CellValue::dateTime({kind, date, time, offsetSeconds});
}

// The rows of a table by the number in their path ("/3.pdf"), in the order shown.
QList<int> rowOrder(const base::ResultsModel& results) {
    QList<int> order;
    for (int row = 0; row < results.count(); ++row)
        order.append(results.path(row).mid(1).chopped(4).toInt());
    return order;
}

} // namespace

Q_DECLARE_METATYPE(base::CellValue)

class ModelsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        results = std::make_unique<base::ResultsModel>();
        results->setColumns({Property::Version, Property::Producer, Property::Pages});
        for (const char* path : {"/a.pdf", "/b.pdf", "/c.pdf"})
            results->appendRow(QLatin1String(path));
    }

    // Every kind of value comes back as it was put, between neighbours of other kinds, also
    // after a neighbour is replaced by one of another size.
    void compactRowsKeepTypedValues_data() {
        QTest::addColumn<CellValue>("value");
        using Kind = DateTimeValue::Kind;
        const QDate day(2021, 8, 31);
        QTest::newRow("empty") << CellValue();
        QTest::newRow("text") << CellValue(QString::fromUtf8("Zoë 中文 😀"));
        QTest::newRow("text of control bytes") << CellValue("\x01\x02\x03");
        QTest::newRow("zero") << CellValue::integer(0);
        QTest::newRow("negative") << CellValue::integer(-1);
        QTest::newRow("largest") << CellValue::integer(std::numeric_limits<qint64>::max());
        QTest::newRow("smallest") << CellValue::integer(std::numeric_limits<qint64>::min());
        QTest::newRow("document date alone") << moment(Kind::DocumentDate, day);
        QTest::newRow("document date and time")
            << moment(Kind::DocumentDateTime, day, QTime(14, 30, 5));
        QTest::newRow("at midnight, not without time")
            << moment(Kind::DocumentDateTime, day, QTime(0, 0));
        QTest::newRow("with a negative offset")
            << moment(Kind::DocumentDateTime, day, QTime(14, 30, 5), -5 * 3600);
        QTest::newRow("with offset zero, not without one")
            << moment(Kind::DocumentDateTime, day, QTime(14, 30, 5), 0);
        QTest::newRow("date alone with offset") << moment(Kind::DocumentDate, day, {}, 3600);
        QTest::newRow("file date to the millisecond")
            << moment(Kind::FileDateTime, QDate(2019, 7, 4), QTime(23, 59, 59, 999), 7200);
        QTest::newRow("the first day of the calendar")
            << moment(Kind::DocumentDate, QDate(1, 1, 1));
        QTest::newRow("no date") << moment(Kind::DocumentDateTime, QDate(), QTime(1, 2));
        QTest::newRow("yes") << CellValue::boolean(true);
        QTest::newRow("no, not empty") << CellValue::boolean(false);
        QTest::newRow("file size") << CellValue::byteCount(5'000'000'000);
        QTest::newRow("page size in fractions of a point")
            << CellValue::pageSize({595.276, 841.89, false});
        QTest::newRow("page size that varies") << CellValue::pageSize({612, 792, true});
        QTest::newRow("encryption with a password to open")
            << CellValue::encryption({EncryptionValue::Method::Aes256, true});
        QTest::newRow("no encryption")
            << CellValue::encryption({EncryptionValue::Method::None, false});
        QTest::newRow("form") << CellValue::form(base::FormKind::Xfa);
    }
    void compactRowsKeepTypedValues() {
        QFETCH(CellValue, value);
        base::CompactRow row;
        row.setCell(0, "before");
        row.setCell(1, value);
        row.setCell(2, CellValue::integer(7));
        row.setCell(3, "after");
        QCOMPARE(row.cellCount(), 4);
        QVERIFY(row.cell(1) == value);
        row.setCell(0, "a much longer text before it");
        row.setCell(2, moment(DateTimeValue::Kind::FileDateTime, QDate(2020, 1, 4), QTime(0, 30)));
        QVERIFY(row.cell(1) == value);
        QCOMPARE(row.cell(3).text(), QStringLiteral("after"));
        row.setCell(5, value); // beyond the end: the cell between stays empty
        QVERIFY(row.cell(4).isEmpty());
        QVERIFY(row.cell(5) == value);
        QCOMPARE(row.cellCount(), 6);
    }

    void compactRowsKeepEveryCellApart() {
        base::CompactRow row;
        QCOMPARE(row.cellCount(), 0);
        QVERIFY(row.cell(0).isEmpty());
        row.setCell(3, QString::fromUtf8("中文 😀"));
        QCOMPARE(row.cellCount(), 4);
        row.setCell(1, "first");
        row.setCell(1, "a longer replacement");
        row.setCell(2, CellValue::integer(42));
        row.setCell(2, "");
        row.setCell(5, QStringLiteral("with") + QChar(0) + QStringLiteral("NUL"));
        QCOMPARE(row.cell(1).text(), QStringLiteral("a longer replacement"));
        QVERIFY(row.cell(2).isEmpty());
        QCOMPARE(row.cell(3).text(), QString::fromUtf8("中文 😀"));
        QVERIFY(row.cell(4).isEmpty());
        QCOMPARE(row.cell(5).text(), QStringLiteral("withNUL"));
        QVERIFY(row.cell(9).isEmpty() && row.cell(-1).isEmpty());
        QStringList visited; // texts as their bytes, other cells as their values
        row.forEachCell([&](int column, const CellValue& value, QByteArrayView text) {
            visited.append(QString::number(column) + QLatin1Char(':') +
                           (text.isEmpty() ? base::cellText(value) : QString::fromUtf8(text)));
        });
        QCOMPARE(visited, (QStringList{"0:", "1:a longer replacement",
                                       "2:", QString::fromUtf8("3:中文 😀"), "4:", "5:withNUL"}));
        base::CompactRow copy = row; // shares, then parts when changed
        copy.setCell(1, CellValue::integer(1));
        QCOMPARE(row.cell(1).text(), QStringLiteral("a longer replacement"));
        QCOMPARE(copy.cell(3).text(), QString::fromUtf8("中文 😀"));
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
        results->setCell(2, 3, CellValue::integer(1234567));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(results->data(results->index(2, 2), Qt::DisplayRole).toString(),
                 QStringLiteral("Producer Z"));
        QCOMPARE(results->data(results->index(2, 3), Qt::DisplayRole).toString(),
                 QStringLiteral("1234567"));
        QCOMPARE(results->data(results->index(2, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("/c.pdf"));
        QCOMPARE(results->cell(2, 0).text(), QStringLiteral("/c.pdf"));
        results->setCell(2, 0, "overwritten"); // the path is no value's to change
        QCOMPARE(results->path(2), QStringLiteral("/c.pdf"));
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

    void columnsAreFoundByTheirProperty() {
        QCOMPARE(results->columnOf(Property::Producer), 2);
        QCOMPARE(results->columnOf(Property::Version), 1);
        QCOMPARE(results->columnOf(Property::Pages), 3);
        QCOMPARE(results->columnOf(Property::Title), 0); // not in the table: never the path's
        QCOMPARE(results->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Number Of Pages"));
        QCOMPARE(results->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Filename"));
        results->setColumns({Property::Title, Property::Accessed});
        QCOMPARE(results->columnOf(Property::Accessed), 2);
        QCOMPARE(results->columnOf(Property::Producer), 0);
        QCOMPARE(results->columnCount(), 3);
        QCOMPARE(results->count(), 0); // new columns, new rows
    }

    // A snapshot keeps what the table had, whatever happens to the table afterwards.
    void aSnapshotKeepsRowsTheTableLoses() {
        results->setTicked(1, true);
        results->setCell(0, 1, "1.4");
        results->setCell(0, 3, CellValue::integer(12));
        const base::ResultsSnapshot snapshot = results->snapshot();
        results->setCell(0, 1, "2.0");
        results->clearRows();
        QCOMPARE(snapshot.headerCount(), 4);
        QCOMPARE(snapshot.header(2), QStringLiteral("Producer"));
        QCOMPARE(snapshot.headers(), results->headers());
        QCOMPARE(snapshot.rowCount(), 3);
        QVERIFY(!snapshot.isTicked(0) && snapshot.isTicked(1));
        QCOMPARE(snapshot.cell(0, 0).text(), QStringLiteral("/a.pdf"));
        QCOMPARE(snapshot.cell(0, 1).text(), QStringLiteral("1.4"));
        QVERIFY(snapshot.cell(0, 3) == CellValue::integer(12));
        QVERIFY(snapshot.cell(9, 0).isEmpty());
        QCOMPARE(results->columnCount(), 4); // clearing keeps the columns
    }

    // A row held by an operation follows its row when rows are sorted or removed, and a
    // removed row takes no writes.
    void heldRowsFollowTheirRows() {
        const base::ResultRow held = base::ResultRow::append(*results, "/0.pdf");
        held.setCell(3, CellValue::integer(1));
        results->sort(3, Qt::AscendingOrder);
        QCOMPARE(results->path(0), QStringLiteral("/0.pdf"));
        held.setCell(2, "written after the sort");
        QCOMPARE(results->cell(0, 2).text(), QStringLiteral("written after the sort"));
        results->removeAt(0);
        QVERIFY(!held.exists());
        held.setCell(2, "late value"); // no crash, no row brought back
        QCOMPARE(results->count(), 3);
        for (int row = 0; row < results->count(); ++row)
            QVERIFY(results->cell(row, 2).isEmpty());
    }

    // Numbers and dates sort by value, text by letters; empty cells come last either way,
    // and text where a number was due comes after the numbers.
    void sortingByValue_data() {
        QTest::addColumn<QList<CellValue>>("cells");
        QTest::addColumn<QList<int>>("ascending"); // the cells' positions
        using Kind = DateTimeValue::Kind;
        const auto integer = CellValue::integer;
        QTest::newRow("pages") << QList<CellValue>{integer(12), {},           integer(9),
                                                   "12a",       integer(100), integer(-1)}
                               << QList<int>{5, 2, 0, 4, 3, 1};
        // A date alone counts as the start of its day; times on each value's own clock.
        QTest::newRow("dates")
            << QList<CellValue>{moment(Kind::DocumentDateTime, {2021, 12, 1}, {9, 0}, 3600),
                                moment(Kind::DocumentDate, {2022, 1, 15}),
                                {},
                                moment(Kind::DocumentDateTime, {2021, 12, 1}, {20, 0}),
                                moment(Kind::FileDateTime, {2021, 2, 1}, {10, 0, 0, 500}, 3600),
                                moment(Kind::DocumentDate, {2021, 12, 1}),
                                moment(Kind::FileDateTime, {2021, 2, 1}, {10, 0}, 3600)}
            << QList<int>{6, 4, 5, 0, 3, 1, 2};
        QTest::newRow("text") << QList<CellValue>{"beta", {}, "Alpha", "alpha", "Gamma"}
                              << QList<int>{2, 3, 0, 4, 1};
        // Sizes by bytes, though "999 bytes" would sort after "1.0 kB" as text.
        QTest::newRow("file sizes") << QList<CellValue>{CellValue::byteCount(1000),
                                                        {},
                                                        CellValue::byteCount(999),
                                                        CellValue::byteCount(2'400'000)}
                                    << QList<int>{2, 0, 3, 1};
        QTest::newRow("yes and no")
            << QList<CellValue>{CellValue::boolean(true), {}, CellValue::boolean(false)}
            << QList<int>{2, 0, 1};
        // By area; a document whose pages differ after all whose pages agree.
        QTest::newRow("page sizes") << QList<CellValue>{CellValue::pageSize({612, 792, true}),
                                                        CellValue::pageSize({842, 1191, false}),
                                                        CellValue::pageSize({612, 792, false}),
                                                        CellValue::pageSize({842, 595, false}),
                                                        CellValue::pageSize({100, 100, true})}
                                    << QList<int>{2, 3, 1, 4, 0};
        using Method = EncryptionValue::Method;
        QTest::newRow("encryptions")
            << QList<CellValue>{CellValue::encryption({Method::Aes256, false}),
                                CellValue::encryption({Method::Rc4With40Bits, true}),
                                CellValue::encryption({Method::None, false}),
                                CellValue::encryption({Method::Aes128, false}),
                                CellValue::encryption({Method::Rc4With40Bits, false})}
            << QList<int>{2, 4, 1, 3, 0};
    }
    void sortingByValue() {
        QFETCH(QList<CellValue>, cells);
        QFETCH(QList<int>, ascending);
        base::ResultsModel model;
        model.setColumns({Property::Modified});
        for (int i = 0; i < cells.size(); ++i)
            model.setCell(model.appendRow(QStringLiteral("/%1.pdf").arg(i)), 1, cells[i]);
        model.sort(1, Qt::AscendingOrder);
        QCOMPARE(rowOrder(model), ascending);
        model.sort(1, Qt::DescendingOrder);
        QList<int> descending;
        QList<int> blanks;
        for (const int i : ascending)
            (cells[i].isEmpty() ? blanks : descending).append(i);
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(rowOrder(model), descending + blanks);
    }

    // Dates show in the locale's own order with the year in full: a document's on its own
    // clock (its offset never moves it), with the long time; a file's with the short time.
    void dateTimesShowInTheLocalesFormats_data() {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<CellValue>("value");
        QTest::addColumn<QString>("dateFormat"); // what the expected text is made of
        QTest::addColumn<QString>("timeFormat");
        using Kind = DateTimeValue::Kind;
        const QDate day(2021, 8, 31);
        const QTime time(14, 30, 5, 250);
        for (const char* name : {"en_US", "de_DE"}) {
            const QLocale locale(QString::fromLatin1(name));
            const QString date = platform::shortDateFormatWithFullYear(locale);
            QTest::addRow("%s document date", name)
                << name << moment(Kind::DocumentDate, day, {}, 3600) << date << QString();
            QTest::addRow("%s document date and time", name)
                << name << moment(Kind::DocumentDateTime, day, time, 5 * 3600 + 1800) << date
                << platform::longTimeFormatWithoutZone(locale);
            QTest::addRow("%s file date and time", name)
                << name << moment(Kind::FileDateTime, day, time, -4 * 3600) << date
                << locale.timeFormat(QLocale::ShortFormat);
        }
    }
    void dateTimesShowInTheLocalesFormats() {
        QFETCH(QString, localeName);
        QFETCH(CellValue, value);
        QFETCH(QString, dateFormat);
        QFETCH(QString, timeFormat);
        const QLocale locale(localeName);
        const DateTimeValue shown = value.dateTimeValue();
        QString expected = locale.toString(shown.date, dateFormat);
        if (!timeFormat.isEmpty())
            expected += QLatin1Char(' ') + locale.toString(shown.time, timeFormat);
        QVERIFY(expected.contains(QStringLiteral("2021")));
        QCOMPARE(base::cellText(value, locale), expected);
    }

    // The writer the ways out use shows every cell as the table does, in every locale Qt
    // knows, also when a day or a time it has kept comes again, and for a time not known.
    void theWriterShowsCellsAsTheTableDoes() {
        using Kind = DateTimeValue::Kind;
        const QDate day(2021, 3, 28);
        const QTime time(2, 30, 5, 250);
        const QList<CellValue> values = {
            moment(Kind::DocumentDate, day),
            moment(Kind::DocumentDateTime, day, time, 5 * 3600 + 1800),
            moment(Kind::FileDateTime, day, time, 3600),
            moment(Kind::FileDateTime, day.addDays(200), time, 7200),
            moment(Kind::DocumentDateTime, day, QTime(0, 0), 0),
            moment(Kind::DocumentDateTime, day, QTime(), std::nullopt),
            moment(Kind::FileDateTime, day, time.addSecs(60), 3600),
            CellValue::integer(std::numeric_limits<qint64>::min()),
            CellValue::byteCount(2'400'000),
            CellValue::pageSize({612, 792, false}),
            CellValue(QString::fromUtf8("中文 a,b")),
            CellValue(),
        };
        const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                      QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        for (const QLocale& locale : locales) {
            base::CellTextWriter writer(locale);
            for (int pass = 0; pass < 2; ++pass) {
                for (const CellValue& value : values) {
                    QByteArray written;
                    writer.append(written, value);
                    QCOMPARE(QString::fromUtf8(written), base::cellText(value, locale));
                }
            }
        }
    }

    // File sizes in the locale's decimal units, page sizes in its measures (millimetres, or
    // inches in the United States) with their paper's name in either orientation.
    void auditValuesShowInTheLocalesUnits_data() {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<CellValue>("value");
        QTest::addColumn<QString>("shown");
        using Method = EncryptionValue::Method;
        const CellValue a4 = CellValue::pageSize({595.276, 841.89, false});
        const CellValue letter = CellValue::pageSize({612, 792, false});
        QTest::newRow("US size") << "en_US" << CellValue::byteCount(2'400'000) << "2.4 MB";
        QTest::newRow("German size") << "de_DE" << CellValue::byteCount(2'400'000) << "2,4 MB";
        QTest::newRow("a few bytes") << "en_US" << CellValue::byteCount(996) << "996 bytes";
        QTest::newRow("US A4") << "en_US" << a4 << "8.3 \u00D7 11.7 in (A4)";
        QTest::newRow("US Letter") << "en_US" << letter << "8.5 \u00D7 11 in (Letter)";
        QTest::newRow("German A4") << "de_DE" << a4 << "210 \u00D7 297 mm (A4)";
        QTest::newRow("German Letter") << "de_DE" << letter << "216 \u00D7 279 mm (Letter)";
        QTest::newRow("British A4, in millimetres") << "en_GB" << a4 << "210 \u00D7 297 mm (A4)";
        QTest::newRow("A4 as many write it")
            << "de_DE" << CellValue::pageSize({595, 842, false}) << "210 \u00D7 297 mm (A4)";
        QTest::newRow("landscape A3")
            << "de_DE" << CellValue::pageSize({1190.55, 841.89, false}) << "420 \u00D7 297 mm (A3)";
        QTest::newRow("two points off A4")
            << "de_DE" << CellValue::pageSize({597, 843.5, false}) << "211 \u00D7 298 mm (A4)";
        QTest::newRow("three points off A4")
            << "de_DE" << CellValue::pageSize({598.5, 842, false}) << "211 \u00D7 297 mm";
        QTest::newRow("US B5") << "en_US" << CellValue::pageSize({498.9, 708.66, false})
                               << "6.9 \u00D7 9.8 in (B5)";
        QTest::newRow("German B0") << "de_DE" << CellValue::pageSize({2834.65, 4008.19, false})
                                   << "1000 \u00D7 1414 mm (B0)";
        QTest::newRow("pages that differ")
            << "de_DE" << CellValue::pageSize({612, 792, true}) << "varies";
        QTest::newRow("no encryption")
            << "en_US" << CellValue::encryption({Method::None, false}) << "None";
        QTest::newRow("RC4") << "en_US" << CellValue::encryption({Method::Rc4With40Bits, false})
                             << "RC4 40-bit";
        QTest::newRow("AES with a password")
            << "de_DE" << CellValue::encryption({Method::Aes256, true})
            << "AES 256-bit (password to open)";
        QTest::newRow("yes") << "de_DE" << CellValue::boolean(true) << "Yes";
        QTest::newRow("no") << "en_US" << CellValue::boolean(false) << "No";
        QTest::newRow("XFA") << "en_US" << CellValue::form(base::FormKind::Xfa) << "XFA";
        QTest::newRow("no form") << "en_US" << CellValue::form(base::FormKind::None) << "None";
    }
    void auditValuesShowInTheLocalesUnits() {
        QFETCH(QString, localeName);
        QFETCH(CellValue, value);
        QFETCH(QString, shown);
        QCOMPARE(base::cellText(value, QLocale(localeName)), shown);
    }

    // A user who never chose gets the described eleven; a further one once its key says 1.
    void theFurtherPropertiesAreChosenOnlyWhenAskedFor() {
        testsupport::clearSettings();
        testsupport::ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("test"));
        const base::Columns fresh = base::chosenColumns(errors);
        QCOMPARE(fresh.size(), 11);
        QCOMPARE(fresh.last(), Property::Accessed);
        base::writeSetting(QStringLiteral("Column17"), QStringLiteral("1"));
        base::writeSetting(QStringLiteral("Column12"), QStringLiteral("1"));
        base::writeSetting(QStringLiteral("Column3"), QStringLiteral("0"));
        const base::Columns chosen = base::chosenColumns(errors);
        QCOMPARE(chosen.size(), 12);
        QCOMPARE(chosen.mid(9),
                 (base::Columns{Property::Accessed, Property::FileSize, Property::PdfA}));
        QVERIFY(!chosen.contains(Property::Creator));
        testsupport::clearSettings();
    }

    // The PDF/A column says, when pointed at, that it shows a claim.
    void aColumnsHeaderCarriesItsToolTip() {
        results->setColumns({Property::Title, Property::PdfA});
        QVERIFY(results->headerData(2, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("claim")));
        QVERIFY(!results->headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!results->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    }

    void otherValuesShowAsTheyAre() {
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(base::cellText(CellValue::integer(-1234567), german), QStringLiteral("-1234567"));
        QCOMPARE(base::cellText(CellValue(" a,b "), german), QStringLiteral(" a,b "));
        QCOMPARE(base::cellText(CellValue(), german), QString());
    }

private:
    std::unique_ptr<base::ResultsModel> results;
};

PARVILON_TEST_MAIN(ModelsTest)
#include "tst_models.moc"
