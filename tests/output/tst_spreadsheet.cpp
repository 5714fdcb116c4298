#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "output/ResultsTable.h"
#include "output/SpreadsheetExport.h"
#include "platform/PrivateTempFolder.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/TextProgressBar.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using testsupport::results;
using testsupport::ScriptedPrompts;

namespace {

// A spreadsheet application that records what it is asked to open.
struct RecordingSpreadsheet final : platform::SpreadsheetApplication {
    bool installed = true;
    bool opens = true;
    int checks = 0;
    QStringList opened;
    RecordingSpreadsheet() { platform::installSpreadsheetApplication(this); }
    ~RecordingSpreadsheet() override { platform::installSpreadsheetApplication(nullptr); }
    bool isInstalled() override {
        ++checks;
        return installed;
    }
    bool open(const QString& path, QString& error) override {
        opened.append(path);
        if (!opens)
            error = QStringLiteral("the application refused %1").arg(path);
        return opens;
    }
};

// The workbook as an independent reader sees it.
QJsonObject readBack(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {testsupport::sourceDir() + QStringLiteral("/tests/output/read_workbook.py"), path});
    reader.waitForFinished(60000);
    if (reader.exitCode() != 0)
        qWarning() << reader.readAllStandardError();
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QString cellAt(const QJsonObject& book, int row, int column) {
    return book["cells"].toObject()[QStringLiteral("%1,%2").arg(row).arg(column)]
        .toObject()["value"].toString();
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
        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl is not installed");
    }

    void tickedRowsKeepTheirPlacesAndLoseTheirEqualsSigns() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(
            results({"Filename", "Producer", "Title"},
                    {{"/docs/a=b.pdf", "a=b=c", "=SUM(A1)"}, {"/docs/skip.pdf", "x", "y"},
                     {"/docs/c.pdf", "Zoë 中文 😀", "1.50"}},
                    {1}),
            path, nullptr);
        const QJsonObject book = readBack(path);
        QCOMPARE(book["sheets"].toInt(), 1);
        QCOMPARE(cellAt(book, 1, 1), QStringLiteral("Filename"));
        QCOMPARE(cellAt(book, 1, 3), QStringLiteral("Title"));
        QCOMPARE(cellAt(book, 2, 1), QStringLiteral("/docs/a=b.pdf")); // the path keeps "="
        QCOMPARE(cellAt(book, 2, 2), QStringLiteral("abc"));
        QCOMPARE(cellAt(book, 2, 3), QStringLiteral("SUM(A1)"));
        QCOMPARE(cellAt(book, 4, 2), QString::fromUtf8("Zoë 中文 😀"));
        QCOMPARE(book["cells"].toObject()["4,3"].toObject()["type"].toString(), QStringLiteral("s"));
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

    void theHeaderRowIsWrittenEvenWithNothingTicked() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename", "Title"}, {{"/a", "T"}}, {0}), path, nullptr);
        const QJsonObject book = readBack(path);
        QCOMPARE(book["cells"].toObject().keys(), (QStringList{"1,1", "1,2"}));
    }

    void textBeyondWhatACellHoldsIsCutOff() {
        QTemporaryDir folder;
        const QString path = folder.filePath("book.xlsx");
        output::writeResultsWorkbook(results({"Filename", "Keywords"}, {{"/a", QString(40000, 'k')}}),
                                     path, nullptr);
        QCOMPARE(cellAt(readBack(path), 2, 2).size(), 32767);
    }

    void progressAtTheThousandthRow() {
        QTemporaryDir folder;
        output::TableSnapshot table;
        table.headers = {"Filename"};
        for (int i = 0; i < 1500; ++i)
            table.appendRow({QStringLiteral("/f%1").arg(i)});
        platform::TextProgressBar bar;
        QStringList texts;
        connect(&bar, &platform::TextProgressBar::textChanged, [&](const QString& text) { texts.append(text); });
        output::writeResultsWorkbook(table, folder.filePath("b.xlsx"), &bar);
        QCOMPARE(texts, (QStringList{"Writing Excel file", "Writing Excel file  (1000)", "Done."}));
        QCOMPARE(bar.rawValue(), 100);
    }

    void theButtonShowsANewWorkbook() {
        RecordingSpreadsheet spreadsheet;
        auto window = testsupport::makeMainWindow();
        output::setHeaders(window->ListView2, {"Filename", "Title"});
        output::ResultRow::append(window->ListView2, "/a.pdf").setCell(1, "x=1");
        output::ResultRow::append(window->ListView2, "/b.pdf").setCell(1, "B");
        window->ListView2->topLevelItem(1)->setCheckState(0, Qt::Checked);
        ScriptedPrompts prompts;
        QTest::mouseClick(window->PushButton13, Qt::LeftButton);
        QCOMPARE(spreadsheet.opened.size(), 1);
        const QString first = spreadsheet.opened[0];
        QVERIFY(first.startsWith(platform::privateTempFolder() + "/"));
        QVERIFY(first.endsWith(".xlsx"));
        const QJsonObject book = readBack(first);
        QCOMPARE(book["cells"].toObject().keys(), (QStringList{"1,1", "1,2", "3,1", "3,2"}));
        QCOMPARE(cellAt(book, 3, 2), QStringLiteral("B"));
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(window->ProgressBar1->text(), QStringLiteral("Progress Bar"));
        QCOMPARE(window->ProgressBar1->rawValue(), 0);
        QVERIFY(!app::isBusy(window.get()));
        // Every export is a new workbook.
        QTest::mouseClick(window->PushButton13, Qt::LeftButton);
        QCOMPARE(spreadsheet.opened.size(), 2);
        QVERIFY(spreadsheet.opened[1] != first);
        QVERIFY(QFile::exists(first));
    }

    void withoutASpreadsheetApplicationTwoMessagesAndNothingElse() {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.installed = false;
        auto window = testsupport::makeMainWindow();
        ScriptedPrompts prompts;
        QTest::mouseClick(window->PushButton13, Qt::LeftButton); // even with an empty table
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(prompts.shown[0].text, missingForSoftware);
        QCOMPARE(prompts.shown[1].text, missingForFeature);
        QCOMPARE(prompts.shown[1].title, QStringLiteral("Parvilon"));
        QVERIFY(spreadsheet.opened.isEmpty());
    }

    void anEmptyTableIsCheckedButNotExported() {
        RecordingSpreadsheet spreadsheet;
        auto window = testsupport::makeMainWindow();
        output::setHeaders(window->ListView2, {"Filename"});
        ScriptedPrompts prompts;
        QTest::mouseClick(window->PushButton13, Qt::LeftButton);
        QCOMPARE(spreadsheet.checks, 1);
        QVERIFY(spreadsheet.opened.isEmpty());
        QVERIFY(prompts.shown.isEmpty());
    }

    void aWorkbookThatCannotBeShownIsReportedOnce() {
        RecordingSpreadsheet spreadsheet;
        spreadsheet.opens = false;
        auto window = testsupport::makeMainWindow();
        output::setHeaders(window->ListView2, {"Filename"});
        for (int i = 0; i < 50; ++i)
            output::ResultRow::append(window->ListView2, QStringLiteral("/%1").arg(i));
        output::tickAllRows(window->ListView2);
        ScriptedPrompts prompts;
        QTest::mouseClick(window->PushButton13, Qt::LeftButton);
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains("\r\nin Lanthorn2021/08/31.Form1.PushButton13_Click at line "));
        QCOMPARE(window->ProgressBar1->text(), QStringLiteral("Progress Bar"));
        QVERIFY(!app::isBusy(window.get()));
    }

    void aWorkbookThatCannotBeWrittenIsAnError() {
        QTemporaryDir folder;
        QVERIFY_THROWS_EXCEPTION(app::RunTimeError,
                                 output::writeResultsWorkbook(results({"Filename"}, {{"/a"}}),
                                                              folder.filePath("no/such/dir/b.xlsx"), nullptr));
    }
};

PARVILON_TEST_MAIN(SpreadsheetTest)
#include "tst_spreadsheet.moc"
