#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/ResultsModel.h"
#include "output/SpreadsheetExport.h"
#include "output/WorkbookFolder.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"
#include "platform/SpreadsheetApplication.h"
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

using testsupport::results;
using testsupport::ScriptedPrompts;

namespace {

mode_t modeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A spreadsheet application that records what it is asked to open.
struct RecordingSpreadsheet final : platform::SpreadsheetApplication {
    bool installed = true;
    bool opens = true;
    int checks = 0;
    QStringList opened;
    QList<mode_t> modesWhenOpened;
    RecordingSpreadsheet() { platform::installSpreadsheetApplication(this); }
    ~RecordingSpreadsheet() override { platform::installSpreadsheetApplication(nullptr); }
    bool isInstalled() override {
        ++checks;
        return installed;
    }
    bool open(const QString& path, QString& error) override {
        opened.append(path);
        modesWhenOpened.append(modeOf(path));
        if (!opens)
            error = QStringLiteral("the application refused %1").arg(path);
        return opens;
    }
};

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

// "4. Save Results As Excel File" on a table of the test's own.
struct Export {
    base::ResultsModel table;
    testsupport::RecordingProgress progress;
    base::QuietBusyState busy;
    void start() {
        output::exportResultsToWorkbook(
            table, progress, busy, base::ErrorReport(QStringLiteral("Form1.PushButton13_Click")));
    }
};

QString cellAt(const QJsonObject& book, int row, int column) {
    return book["cells"]
        .toObject()[QStringLiteral("%1,%2").arg(row).arg(column)]
        .toObject()["value"]
        .toString();
}

const QString missingForSoftware = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this "
    "software without error.");
const QString missingForFeature = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this feature.");

} // namespace

class SpreadsheetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        platform::setApplicationTitle(QStringLiteral("Parvilon")); // as the window's start-up
        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl is not installed");
    }

    void tickedRowsKeepTheirPlacesAndTheirText() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename", "Producer", "Title"},
                                             {{"/docs/a=b.pdf", "a=b=c", "=SUM(A1)"},
                                              {"/docs/skip.pdf", "x", "y"},
                                              {"/docs/c.pdf", "Zoë 中文 😀", "1.50"}},
                                             {1}),
                                     path, nullptr);
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
    }

    // Page counts are numbers and dates date-times, shown in the table's own format; what
    // does not read as such (a date before 1900, a damaged value) stays text.
    void cellsAreTypedAsASpreadsheetTypesThem_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("format");
        QTest::newRow("pages") << "en_US"
                               << "Number Of Pages"
                               << "12"
                               << "n"
                               << "12"
                               << "General";
        QTest::newRow("document date and time") << "en_US"
                                                << "Date Modified"
                                                << "8/31/2021 2:30:05 PM"
                                                << "d"
                                                << "2021-08-31T14:30:05"
                                                << "m/d/yyyy h:mm:ss AM/PM";
        QTest::newRow("document date alone") << "en_US"
                                             << "Date Created"
                                             << "8/31/2021"
                                             << "d"
                                             << "2021-08-31T00:00:00"
                                             << "m/d/yyyy";
        QTest::newRow("file date, short time") << "en_US"
                                               << "Date Accessed"
                                               << "12/8/2026 6:24 AM"
                                               << "d"
                                               << "2026-12-08T06:24:00"
                                               << "m/d/yyyy h:mm AM/PM";
        QTest::newRow("German") << "de_DE"
                                << "Date Modified"
                                << "31.08.2021 14:30:05"
                                << "d"
                                << "2021-08-31T14:30:05"
                                << "dd.mm.yyyy hh:mm:ss";
        QTest::newRow("French Canadian, quoted text") << "fr_CA"
                                                      << "Date Modified"
                                                      << "2021-08-31 14 h 30 min 05 s"
                                                      << "d"
                                                      << "2021-08-31T14:30:05"
                                                      << "yyyy-mm-dd hh \"h\" mm \"min\" ss \"s\"";
        QTest::newRow("month by name") << "C"
                                       << "Date Modified"
                                       << "31 Aug 2021 14:30:05"
                                       << "d"
                                       << "2021-08-31T14:30:05"
                                       << "d mmm yyyy hh:mm:ss";
        QTest::newRow("a moment summer time skips") << "en_US"
                                                    << "Date Modified"
                                                    << "3/14/2021 2:30:00 AM"
                                                    << "d"
                                                    << "2021-03-14T02:30:00"
                                                    << "m/d/yyyy h:mm:ss AM/PM";
        QTest::newRow("before 1900") << "en_US"
                                     << "Date Created"
                                     << "1/1/1800"
                                     << "s"
                                     << "1/1/1800"
                                     << "General";
        QTest::newRow("not a date") << "en_US"
                                    << "Date Created"
                                    << "soon"
                                    << "s"
                                    << "soon"
                                    << "General";
        QTest::newRow("not a count") << "en_US"
                                     << "Number Of Pages"
                                     << "12a"
                                     << "s"
                                     << "12a"
                                     << "General";
    }
    void cellsAreTypedAsASpreadsheetTypesThem() {
        QFETCH(QString, locale);
        QFETCH(QString, header);
        QFETCH(QString, text);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, format);
        qputenv("TZ", "America/New_York"); // a zone where 2:30 on 3/14/2021 does not exist
        tzset();
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename", header}, {{"/a.pdf", text}}), path,
                                     nullptr, QLocale(locale));
        const QJsonObject cell = readBack(path)["cells"].toObject()["2,2"].toObject();
        QCOMPARE(cell["type"].toString(), type);
        QCOMPARE(cell["value"].toVariant().toString(), value);
        QCOMPARE(cell["format"].toString(), format);
    }

    void theHeaderRowIsWrittenEvenWithNothingTicked() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename", "Title"}, {{"/a", "T"}}, {0}), path,
                                     nullptr);
        const QJsonObject book = readBack(path);
        QCOMPARE(book["cells"].toObject().keys(), (QStringList{"1,1", "1,2"}));
    }

    void textBeyondWhatACellHoldsIsCutOff() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(
            results({"Filename", "Keywords"}, {{"/a", QString(40000, 'k')}}), path, nullptr);
        QCOMPARE(cellAt(readBack(path), 2, 2).size(), 32767);
    }

    void progressAtTheThousandthRow() {
        QTemporaryDir folder;
        base::ResultsSnapshot table;
        table.headers = {"Filename"};
        for (int i = 0; i < 1500; ++i)
            table.appendRow({QStringLiteral("/f%1").arg(i)});
        testsupport::RecordingProgress progress;
        output::writeResultsWorkbook(table, folder.filePath("b.xlsx"), &progress);
        QCOMPARE(progress.texts,
                 (QStringList{"Writing Excel file", "Writing Excel file  (1000)", "Done."}));
        QCOMPARE(progress.value(), 100);
    }

    // The workbook goes to a lasting folder of the user's: the application may read it after
    // Parvilon has ended. Every export is a new file; none is written over.
    void theButtonShowsANewWorkbookThatOutlivesTheProgram() {
        RecordingSpreadsheet spreadsheet;
        Export exporter;
        exporter.table.setHeaders({"Filename", "Title"});
        exporter.table.setCell(exporter.table.appendRow("/a.pdf"), 1, "x=1");
        exporter.table.setCell(exporter.table.appendRow("/b.pdf"), 1, "B");
        exporter.table.setTicked(1, true);
        ScriptedPrompts prompts;
        exporter.start();
        QCOMPARE(spreadsheet.opened.size(), 1);
        const QString first = spreadsheet.opened[0];
        const QString folder =
            qEnvironmentVariable("XDG_CACHE_HOME") + "/Quorvane/Parvilon/workbooks/";
        QVERIFY2(first.startsWith(folder + "Parvilon results "), qPrintable(first));
        QVERIFY(first.endsWith(".xlsx"));
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
        const QJsonObject book = readBack(first);
        QCOMPARE(book["cells"].toObject().keys(), (QStringList{"1,1", "1,2", "3,1", "3,2"}));
        QCOMPARE(cellAt(book, 3, 2), QStringLiteral("B"));
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(exporter.progress.text(), QStringLiteral("Progress Bar"));
        QCOMPARE(exporter.progress.value(), 0);
        QVERIFY(!exporter.busy.isBusy());
        // Two exports in the same second get two files.
        exporter.start();
        exporter.start();
        QCOMPARE(spreadsheet.opened.size(), 3);
        QCOMPARE(QSet<QString>(spreadsheet.opened.begin(), spreadsheet.opened.end()).size(), 3);
        for (const QString& path : spreadsheet.opened)
            QVERIFY(QFileInfo(path).size() > 0);
        // Handed over read-only, so that the application's Save asks for a place of the
        // user's own instead of writing into this folder.
        QCOMPARE(spreadsheet.modesWhenOpened, (QList<mode_t>{0444, 0444, 0444}));
    }

    // Start-up removes the workbooks handed over more than two weeks ago that are still as
    // they were handed over, and what failed exports left behind. A workbook the user may
    // have changed since, and anything else in the folder, stays.
    void oldWorkbooksAreRemoved() {
        const QString folder = output::workbookFolder();
        const QDateTime now = QDateTime::currentDateTime();
        const auto handedOver = [&](int daysAgo) {
            const QString path = output::reserveWorkbookPath(now.addDays(-daysAgo));
            output::writeResultsWorkbook(results({"Filename"}, {{"/a"}}), path, nullptr);
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

    void withoutASpreadsheetApplicationTwoMessagesAndNothingElse() {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.installed = false;
        Export exporter;
        ScriptedPrompts prompts;
        exporter.start(); // even with an empty table
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(prompts.shown[0].text, missingForSoftware);
        QCOMPARE(prompts.shown[1].text, missingForFeature);
        QCOMPARE(prompts.shown[1].title, QStringLiteral("Parvilon"));
        QVERIFY(spreadsheet.opened.isEmpty());
    }

    void anEmptyTableIsCheckedButNotExported() {
        RecordingSpreadsheet spreadsheet;
        Export exporter;
        exporter.table.setHeaders({"Filename"});
        ScriptedPrompts prompts;
        exporter.start();
        QCOMPARE(spreadsheet.checks, 1);
        QVERIFY(spreadsheet.opened.isEmpty());
        QVERIFY(prompts.shown.isEmpty());
    }

    void aWorkbookThatCannotBeShownIsReportedOnce() {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.opens = false;
        Export exporter;
        exporter.table.setHeaders({"Filename"});
        for (int i = 0; i < 50; ++i)
            exporter.table.appendRow(QStringLiteral("/%1").arg(i));
        exporter.table.tickAll();
        ScriptedPrompts prompts;
        exporter.start();
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(
            "\r\nin Lanthorn2021/08/31.Form1.PushButton13_Click at line "));
        QCOMPARE(exporter.progress.text(), QStringLiteral("Progress Bar"));
        QVERIFY(!exporter.busy.isBusy());
    }

    void aWorkbookThatCannotBeWrittenSaysWhy() {
        QTemporaryDir folder;
        const QString path = folder.filePath("no/such/dir/b.xlsx");
        try {
            output::writeResultsWorkbook(results({"Filename"}, {{"/a"}}), path, nullptr);
            QFAIL("a workbook in a missing folder was taken as written");
        } catch (const base::RunTimeError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     path + QStringLiteral(" cannot be written: No such file or directory"));
        }
    }

    // What a crash or a kill would leave at any moment of a write: the old workbook until
    // the new one is complete, then the new one, never anything between.
    void theNameHoldsAWholeWorkbookThroughoutAWrite() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename"}, {{"/old.pdf"}}), path, nullptr);
        const QByteArray old = testsupport::fileBytes(path);
        base::ResultsSnapshot table;
        table.headers = {"Filename", "Title"};
        for (int row = 0; row < 20000; ++row)
            table.appendRow({QStringLiteral("/new/%1.pdf").arg(row), "T"});
        std::atomic<bool> writing = true;
        QList<QByteArray> seen; // what the name held, other than the old workbook
        std::thread watcher([&] {
            while (writing) {
                const QByteArray now = testsupport::fileBytes(path);
                if (now != old && (seen.isEmpty() || seen.last() != now) && seen.size() < 20)
                    seen.append(now);
            }
        });
        output::writeResultsWorkbook(table, path, nullptr);
        writing = false;
        watcher.join();
        const QByteArray written = testsupport::fileBytes(path);
        QVERIFY(written != old);
        for (const QByteArray& held : seen)
            QVERIFY2(held == written, qPrintable(QStringLiteral("a moment's file of %1 bytes, "
                                                                "the workbook has %2")
                                                     .arg(held.size())
                                                     .arg(written.size())));
    }

    // Two writers of one name, as two command lines given the same output, packing their
    // workbooks at the same moment: the name ends up holding one of the two, whole, and
    // nothing else is left in the folder.
    void twoWritersOfOneNameLeaveOneWholeWorkbook() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        const auto tableOf = [](const QString& title) {
            base::ResultsSnapshot table;
            table.headers = {"Filename", "Title"};
            for (int row = 0; row < 5000; ++row)
                table.appendRow({QStringLiteral("/%1/%2.pdf").arg(title).arg(row), title});
            return table;
        };
        const QList<base::ResultsSnapshot> tables{tableOf("first"), tableOf("other")};
        std::latch packing(2);
        QStringList failures(2);
        const auto write = [&](int writer) {
            MeetingProgress progress(packing);
            try {
                output::writeResultsWorkbook(tables[writer], path, &progress);
            } catch (const std::exception& error) {
                failures[writer] = QString::fromUtf8(error.what());
            }
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
};

PARVILON_TEST_MAIN(SpreadsheetTest)
#include "tst_spreadsheet.moc"
