#include "base/Progress.h"
#include "output/WorkbookExport.h"
#include "output/WorkbookFolder.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <atomic>
#include <ctime>
#include <latch>
#include <sys/stat.h>
#include <thread>

using base::CellValue;
using base::DateTimeValue;
using base::Property;
using testsupport::results;

namespace {

mode_t modeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Progress that holds its writer at "Done.", just before the workbook is packed and
// written, until every writer sharing the latch has come that far.
class MeetingProgress final : public base::Progress {
public:
    explicit MeetingProgress(std::latch& all) : meeting(all) {}
    void setValue(int) override {}
    int value() const override { return 0; }
    void setText(const QString& text) override {
        if (text == QLatin1String("Done."))
            meeting.arrive_and_wait();
    }
    QString text() const override { return {}; }

private:
    std::latch& meeting;
};

// Progress that asks its operation to stop once it shows a given text.
class StoppingProgress final : public base::Progress {
public:
    StoppingProgress(base::StopRequest& request, QString at)
        : stop(request), stopAt(std::move(at)) {}
    void setValue(int) override {}
    int value() const override { return 0; }
    void setText(const QString& text) override {
        if (text == stopAt)
            stop.request();
    }
    QString text() const override { return {}; }

private:
    base::StopRequest& stop;
    QString stopAt;
};

// The workbook as an independent reader sees it.
QJsonObject readBack(const QString& path) {
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {testsupport::sourceDir() + QStringLiteral("/tests/output/read_workbook.py"), path});
    reader.waitForFinished(60000);
    if (reader.exitCode() != 0)
        qWarning() << reader.readAllStandardError();
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QString cellAt(const QJsonObject& book, int row, int column) {
    return book["cells"]
        .toObject()[QStringLiteral("%1,%2").arg(row).arg(column)]
        .toObject()["value"]
        .toString();
}

// A table of one column of titles, with as many rows.
base::ResultsSnapshot titlesTable(const QString& title, int rows) {
    base::ResultsSnapshot table{{Property::Title}, {}};
    for (int row = 0; row < rows; ++row)
        table.appendRow(QStringLiteral("/%1/%2.pdf").arg(title).arg(row), {title});
    return table;
}

} // namespace

Q_DECLARE_METATYPE(base::CellValue)

class SpreadsheetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl is not installed");
    }

    void tickedRowsKeepTheirPlacesAndTheirText() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(output::writeResultsWorkbook(results({Property::Producer, Property::Title},
                                                     {{"/docs/a=b.pdf", "a=b=c", "=SUM(A1)"},
                                                      {"/docs/skip.pdf", "x", "y"},
                                                      {"/docs/c.pdf", "Zoë 中文 😀", "1.50"}},
                                                     {1}),
                                             path, scratch.path())
                    .ok());
        const QJsonObject book = readBack(path);
        QCOMPARE(book["sheets"].toInt(), 1);
        QCOMPARE(cellAt(book, 1, 1), QStringLiteral("Filename"));
        QCOMPARE(cellAt(book, 1, 3), QStringLiteral("Title"));
        QCOMPARE(cellAt(book, 2, 1), QStringLiteral("/docs/a=b.pdf"));
        // Text cells never evaluate, so "=" is kept wherever it stands.
        QCOMPARE(cellAt(book, 2, 2), QStringLiteral("a=b=c"));
        QCOMPARE(cellAt(book, 2, 3), QStringLiteral("=SUM(A1)"));
        QCOMPARE(book["cells"].toObject()["2,3"].toObject()["type"].toString(),
                 QStringLiteral("s"));
        QCOMPARE(cellAt(book, 4, 2), QString::fromUtf8("Zoë 中文 😀"));
        QCOMPARE(book["cells"].toObject()["4,3"].toObject()["type"].toString(),
                 QStringLiteral("s"));
        QCOMPARE(cellAt(book, 4, 3), QStringLiteral("1.50"));
        // The unticked row leaves its worksheet row empty.
        for (int column = 1; column <= 3; ++column)
            QVERIFY(!book["cells"].toObject().contains(QStringLiteral("3,%1").arg(column)));
        QCOMPARE(book["cells"].toObject().size(), 9);
        // Columns fit their longest text.
        const QJsonObject widths = book["widths"].toObject();
        QVERIFY(widths["A"].toDouble() >= 14 && widths["A"].toDouble() <= 16);
        QVERIFY(widths["B"].toDouble() >= 9 && widths["B"].toDouble() <= 12);
        // Nothing is left in the scratch folder.
        QCOMPARE(
            QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }

    // Whole numbers are numbers and dates date-times, shown in the table's own format and
    // holding what the table shows (a file's date to the minute, a document's on its own
    // clock); what is no such value (a date before 1900, text the tool gave) stays text.
    void cellsAreTypedAsASpreadsheetTypesThem_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<CellValue>("cell");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("format");
        using Kind = DateTimeValue::Kind;
        const auto moment = [](Kind kind, QDate date, QTime time = {},
                               std::optional<int> offset = std::nullopt) {
            return CellValue::dateTime({kind, date, time, offset});
        };
        const QDate day(2021, 8, 31);
        const QTime time(14, 30, 5);
        QTest::newRow("pages") << "en_US" << CellValue::integer(12) << "n"
                               << "12"
                               << "General";
        QTest::newRow("document date and time")
            << "en_US" << moment(Kind::DocumentDateTime, day, time) << "d"
            << "2021-08-31T14:30:05"
            << "m/d/yyyy h:mm:ss AM/PM";
        QTest::newRow("document date and time, on its own clock")
            << "en_US" << moment(Kind::DocumentDateTime, day, time, -5 * 3600) << "d"
            << "2021-08-31T14:30:05"
            << "m/d/yyyy h:mm:ss AM/PM";
        QTest::newRow("document date alone") << "en_US" << moment(Kind::DocumentDate, day) << "d"
                                             << "2021-08-31T00:00:00"
                                             << "m/d/yyyy";
        QTest::newRow("file date, short time")
            << "en_US" << moment(Kind::FileDateTime, {2026, 12, 8}, {6, 24, 37, 450}, -5 * 3600)
            << "d"
            << "2026-12-08T06:24:00"
            << "m/d/yyyy h:mm AM/PM";
        QTest::newRow("German") << "de_DE" << moment(Kind::DocumentDateTime, day, time) << "d"
                                << "2021-08-31T14:30:05"
                                << "dd.mm.yyyy hh:mm:ss";
        QTest::newRow("French Canadian, quoted text")
            << "fr_CA" << moment(Kind::DocumentDateTime, day, time) << "d"
            << "2021-08-31T14:30:05"
            << "yyyy-mm-dd hh \"h\" mm \"min\" ss \"s\"";
        QTest::newRow("month by name") << "C" << moment(Kind::DocumentDateTime, day, time) << "d"
                                       << "2021-08-31T14:30:05"
                                       << "d mmm yyyy hh:mm:ss";
        QTest::newRow("a moment summer time skips")
            << "en_US" << moment(Kind::DocumentDateTime, {2021, 3, 14}, {2, 30}) << "d"
            << "2021-03-14T02:30:00"
            << "m/d/yyyy h:mm:ss AM/PM";
        QTest::newRow("before 1900") << "en_US" << moment(Kind::DocumentDate, {1800, 1, 1}) << "s"
                                     << "1/1/1800"
                                     << "General";
        QTest::newRow("text where a date was due") << "en_US" << CellValue("soon") << "s"
                                                   << "soon"
                                                   << "General";
        QTest::newRow("text where a count was due") << "en_US" << CellValue("12a") << "s"
                                                    << "12a"
                                                    << "General";
        // A file size is its bytes, to add up; the others are the table's text.
        QTest::newRow("file size") << "de_DE" << CellValue::byteCount(2'400'000) << "n"
                                   << "2400000"
                                   << "General";
        QTest::newRow("yes") << "en_US" << CellValue::boolean(true) << "s"
                             << "Yes"
                             << "General";
        QTest::newRow("page size") << "en_US" << CellValue::pageSize({612, 792, false}) << "s"
                                   << QString::fromUtf8("8.5 × 11 in (Letter)") << "General";
        QTest::newRow("encryption")
            << "en_US" << CellValue::encryption({base::EncryptionValue::Method::Aes128, true})
            << "s"
            << "AES 128-bit (password to open)"
            << "General";
    }
    void cellsAreTypedAsASpreadsheetTypesThem() {
        QFETCH(QString, locale);
        QFETCH(CellValue, cell);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, format);
        qputenv("TZ", "America/New_York"); // a zone where 2:30 on 3/14/2021 does not exist
        tzset();
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(output::writeResultsWorkbook(results({Property::Modified}, {{"/a.pdf", cell}}),
                                             path, scratch.path(), QLocale(locale))
                    .ok());
        const QJsonObject written = readBack(path)["cells"].toObject()["2,2"].toObject();
        QCOMPARE(written["type"].toString(), type);
        QCOMPARE(written["value"].toVariant().toString(), value);
        QCOMPARE(written["format"].toString(), format);
    }

    void theHeaderRowIsWrittenEvenWithNothingTicked() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(output::writeResultsWorkbook(results({Property::Title}, {{"/a", "T"}}, {0}), path,
                                             scratch.path())
                    .ok());
        const QJsonObject book = readBack(path);
        QCOMPARE(book["cells"].toObject().keys(), (QStringList{"1,1", "1,2"}));
    }

    void textBeyondWhatACellHoldsIsCutOff() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(
            output::writeResultsWorkbook(
                results({Property::Keywords}, {{"/a", QString(40000, 'k')}}), path, scratch.path())
                .ok());
        QCOMPARE(cellAt(readBack(path), 2, 2).size(), 32767);
    }

    void progressAtTheThousandthRow() {
        QTemporaryDir folder;
        testsupport::RecordingProgress progress;
        QVERIFY(output::writeResultsWorkbook(titlesTable("f", 1500), folder.filePath("b.xlsx"),
                                             scratch.path(), QLocale(), &progress)
                    .ok());
        QCOMPARE(progress.texts,
                 (QStringList{"Writing Excel file", "Writing Excel file  (1000)", "Done."}));
        QCOMPARE(progress.value(), 100);
    }

    // The workbooks handed to the spreadsheet application go to a lasting folder of the
    // user's own: the application may read one after Parvilon has ended. Every export gets a
    // new file, also two in the same second; none is written over. Each is handed over
    // read-only, so that the application's Save asks for a place of the user's own instead
    // of writing into this folder.
    void everyExportGetsANewWorkbookHandedOverReadOnly() {
        const QDateTime now = QDateTime::currentDateTime();
        QStringList paths;
        for (int i = 0; i < 3; ++i)
            paths.append(output::reserveWorkbookPath(now));
        const QString folder =
            qEnvironmentVariable("XDG_CACHE_HOME") + "/Quorvane/Parvilon/workbooks/";
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
        QCOMPARE(QSet<QString>(paths.begin(), paths.end()).size(), 3);
        for (const QString& path : paths) {
            QVERIFY2(path.startsWith(folder + "Parvilon results "), qPrintable(path));
            QVERIFY(path.endsWith(".xlsx"));
            QVERIFY(QFile::exists(path)); // reserved at once
            QVERIFY(output::writeResultsWorkbook(results({Property::Title}, {{"/b.pdf", "B"}}),
                                                 path, scratch.path())
                        .ok());
            output::handOverWorkbook(path);
            QCOMPARE(modeOf(path), mode_t(0444));
            QCOMPARE(cellAt(readBack(path), 2, 2), QStringLiteral("B"));
        }
    }

    // Start-up removes the workbooks handed over more than two weeks ago that are still as
    // they were handed over, and what failed exports left behind. A workbook the user may
    // have changed since, and anything else in the folder, stays.
    void oldWorkbooksAreRemoved() {
        const QString folder = output::workbookFolder();
        const QDateTime now = QDateTime::currentDateTime();
        const auto handedOver = [&](int daysAgo) {
            const QString path = output::reserveWorkbookPath(now.addDays(-daysAgo));
            output::writeResultsWorkbook(results({}, {{"/a"}}), path, scratch.path());
            output::handOverWorkbook(path);
            return path;
        };
        const auto setAge = [&](const QString& path, int daysAgo) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.setFileTime(now.addDays(-daysAgo), QFileDevice::FileModificationTime));
        };
        const QString unchanged = handedOver(15);
        const QString recent = handedOver(13);
        // Saved into five days after it was handed over, fifteen days ago.
        const QString savedInto = handedOver(20);
        QVERIFY(QFile::setPermissions(savedInto, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        {
            QFile file(savedInto);
            QVERIFY(file.open(QIODevice::Append));
            file.write("the user's own work");
        }
        QVERIFY(QFile::setPermissions(savedInto, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                     QFileDevice::ReadOther));
        setAge(savedInto, 15);
        const QString madeWritable = handedOver(15);
        QVERIFY(
            QFile::setPermissions(madeWritable, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QString emptyReservation = output::reserveWorkbookPath(now.addDays(-16));
        setAge(emptyReservation, 16);
        const QString crashedWrite = folder + "/Parvilon results 2020-01-01 00-00-00.xlsx.Ab12Cd";
        QFile(crashedWrite).open(QIODevice::WriteOnly);
        setAge(crashedWrite, 16);
        const QString notes = folder + "/notes.txt";
        QFile(notes).open(QIODevice::WriteOnly);
        setAge(notes, 30);

        QCOMPARE(output::removeOldWorkbooks(now), 3);
        for (const QString& removed : {unchanged, emptyReservation, crashedWrite})
            QVERIFY2(!QFile::exists(removed), qPrintable(removed));
        for (const QString& kept : {recent, savedInto, madeWritable, notes})
            QVERIFY2(QFile::exists(kept), qPrintable(kept));
    }

    void aWorkbookThatCannotBeWrittenSaysWhy() {
        QTemporaryDir folder;
        const QString path = folder.filePath("no/such/dir/b.xlsx");
        const base::Status written =
            output::writeResultsWorkbook(results({}, {{"/a"}}), path, scratch.path());
        QVERIFY(!written.ok());
        QCOMPARE(written.error(), path + QStringLiteral(" cannot be written: No such file or "
                                                        "directory"));
    }

    // A workbook asked to stop ends there: the old workbook stays as it was and nothing is
    // left beside it or in the scratch folder.
    void aStoppedWorkbookLeavesTheOldOne_data() {
        QTest::addColumn<QString>("stopAt");
        QTest::newRow("while writing rows") << "Writing Excel file  (1000)";
        QTest::newRow("before it is packed") << "Done.";
    }
    void aStoppedWorkbookLeavesTheOldOne() {
        QFETCH(QString, stopAt);
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(
            output::writeResultsWorkbook(results({}, {{"/old.pdf"}}), path, scratch.path()).ok());
        const QByteArray old = testsupport::fileBytes(path);
        base::StopRequest stop;
        StoppingProgress progress(stop, stopAt);
        const base::Status written = output::writeResultsWorkbook(
            titlesTable("new", 2500), path, scratch.path(), QLocale(), &progress, &stop);
        QCOMPARE(written.error(), QStringLiteral("Stopped."));
        QCOMPARE(testsupport::fileBytes(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"book.xlsx"});
        QCOMPARE(
            QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }

    // What a crash or a kill would leave at any moment of a write: the old workbook until
    // the new one is complete, then the new one, never anything between.
    void theNameHoldsAWholeWorkbookThroughoutAWrite() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        QVERIFY(
            output::writeResultsWorkbook(results({}, {{"/old.pdf"}}), path, scratch.path()).ok());
        const QByteArray old = testsupport::fileBytes(path);
        std::atomic<bool> writing = true;
        QList<QByteArray> seen; // what the name held, other than the old workbook
        std::thread watcher([&] {
            while (writing) {
                const QByteArray now = testsupport::fileBytes(path);
                if (now != old && (seen.isEmpty() || seen.last() != now) && seen.size() < 20)
                    seen.append(now);
            }
        });
        const base::Status written =
            output::writeResultsWorkbook(titlesTable("new", 20000), path, scratch.path());
        writing = false;
        watcher.join();
        QVERIFY(written.ok());
        const QByteArray now = testsupport::fileBytes(path);
        QVERIFY(now != old);
        for (const QByteArray& held : seen)
            QVERIFY2(held == now, qPrintable(QStringLiteral("a moment's file of %1 bytes, "
                                                            "the workbook has %2")
                                                 .arg(held.size())
                                                 .arg(now.size())));
    }

    // Two writers of one name, as two command lines given the same output, packing their
    // workbooks at the same moment: the name ends up holding one of the two, whole, and
    // nothing else is left in the folder.
    void twoWritersOfOneNameLeaveOneWholeWorkbook() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        const QList<base::ResultsSnapshot> tables{titlesTable("first", 5000),
                                                  titlesTable("other", 5000)};
        std::latch packing(2);
        QStringList failures(2);
        const auto write = [&](int writer) {
            MeetingProgress progress(packing);
            failures[writer] = output::writeResultsWorkbook(tables[writer], path, scratch.path(),
                                                            QLocale(), &progress)
                                   .error();
        };
        std::thread first(write, 0);
        std::thread second(write, 1);
        first.join();
        second.join();
        QCOMPARE(failures, QStringList(2));
        QCOMPARE(readBack(path)["cells"].toObject().size(), 2 * 5001);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"book.xlsx"});
    }

private:
    QTemporaryDir scratch; // the private temporary folder the workbooks are packed in
};

PARVILON_TEST_MAIN(SpreadsheetTest)
#include "tst_spreadsheet.moc"
