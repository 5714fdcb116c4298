// The window's ways out: what each button asks, says and writes, while the window answers.
#include "app/SaveTypes.h"
#include "base/ResultsModel.h"
#include "gui/TextProgressBar.h"
#include "output/ClipboardCopy.h"
#include "output/WorkbookExport.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>

using testsupport::ScriptedPrompts;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct Window {
    testsupport::TestServices services;
    std::unique_ptr<app::MainWindow> window = testsupport::makeMainWindow(services);
    base::ResultsModel& results = window->results();

    // Two rows, the first ticked.
    Window() {
        window->show();
        results.setColumns({base::Property::Title, base::Property::Pages});
        const int first = results.appendRow(QStringLiteral("/a.pdf"));
        results.setCell(first, 1, "Alpha, \"the first\"");
        results.setCell(first, 2, base::CellValue::integer(12));
        results.setCell(results.appendRow(QStringLiteral("/b.pdf")), 1, "Beta");
        results.setTicked(0, true);
    }
    // Clicks a button and waits for the work it starts to end.
    void click(QPushButton* button) {
        button->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 60000);
    }
    const app::MainWindowControls& controls() const { return window->controls(); }
};

} // namespace

class WindowOutputsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    // A name is asked for (text or CSV), and the ticked rows go out in the form it asks for;
    // a cancelled dialog writes nothing and says nothing.
    void theTextSaveAsksAndWritesTheTickedRows() {
        Window w;
        QTemporaryDir folder;
        w.services.prompts.saveFileAnswers << folder.filePath("out.txt")
                                           << folder.filePath("out.CSV") << QString();
        for (int save = 0; save < 3; ++save)
            w.click(w.controls().saveText);
        const auto dialogs = w.services.prompts.ofKind(ScriptedPrompts::Kind::SaveFile);
        QCOMPARE(dialogs.size(), 3);
        QCOMPARE(dialogs[0].text, QStringLiteral("4. Save Results As Text File"));
        QCOMPARE(dialogs[0].extra, app::saveFilters().join(";;"));
        QCOMPARE(bytesOf(folder.filePath("out.txt")),
                 QByteArray("Filename\tTitle             \tNumber Of Pages\t\r\n"
                            "/a.pdf  \tAlpha, \"the first\"\t12             \t\r\n"));
        QCOMPARE(bytesOf(folder.filePath("out.CSV")),
                 QByteArray("Filename,Title,Number Of Pages\r\n/a.pdf,\"Alpha, \"\"the "
                            "first\"\"\",12\r\n"));
        QCOMPARE(w.services.prompts.shown.size(), 3);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
        QCOMPARE(w.controls().progress->text(), QStringLiteral("Progress Bar"));
    }

    // The dialog suggests a dated name in the folder last saved to; the type chosen decides
    // the form and adds its extension; an existing file is replaced only when the user says
    // so, else the dialog comes back where it was.
    void theSaveDialogSuggestsAndAsksBeforeReplacing() {
        Window w;
        QTemporaryDir folder;
        ScriptedPrompts& prompts = w.services.prompts;
        prompts.saveFileAnswers << folder.filePath("first");
        prompts.saveFilterAnswers << app::saveTypeIndex(app::SaveFormat::Csv);
        w.click(w.controls().saveText);
        QCOMPARE(bytesOf(folder.filePath("first.csv")),
                 QByteArray("Filename,Title,Number Of Pages\r\n/a.pdf,\"Alpha, \"\"the "
                            "first\"\"\",12\r\n"));
        QCOMPARE(w.controls().status->text(),
                 "Saved 1 row to " + QDir::toNativeSeparators(folder.filePath("first.csv")) + ".");
        // The next save starts in that folder; over the file it asks, No keeps it and goes
        // back to the dialog, Yes replaces it.
        prompts.saveFileAnswers << folder.filePath("first.csv") << folder.filePath("first.csv");
        prompts.yesNoAnswers << false << true;
        w.click(w.controls().saveText);
        QCOMPARE(prompts.saveRequests.size(), 3);
        const platform::SaveRequest& opened = prompts.saveRequests[1];
        QCOMPARE(opened.folder, folder.path());
        QCOMPARE(opened.suggestedName,
                 "PDF properties " + QDate::currentDate().toString("yyyy-MM-dd") + ".txt");
        QCOMPARE(opened.filters[opened.chosenFilter],
                 QStringLiteral("Text file, aligned columns (*.txt)"));
        QCOMPARE(prompts.saveRequests[2].suggestedName, QStringLiteral("first.csv"));
        const auto asked = prompts.ofKind(ScriptedPrompts::Kind::YesNo);
        QCOMPARE(asked.size(), 2);
        QVERIFY(asked[0].text.startsWith(folder.filePath("first.csv") + " already exists."));
        QVERIFY(bytesOf(folder.filePath("first.csv")).startsWith("Filename,Title"));
        QCOMPARE(prompts.unexpected, 0);
    }

    // JSON from the window: an array for the JSON type, one object a line for JSON Lines even
    // under a name of another extension, both reading back as the rows.
    void theJsonTypesWriteWhatTheyName() {
        Window w;
        QTemporaryDir folder;
        ScriptedPrompts& prompts = w.services.prompts;
        prompts.saveFileAnswers << folder.filePath("r") << folder.filePath("r.log");
        prompts.saveFilterAnswers << app::saveTypeIndex(app::SaveFormat::Json)
                                  << app::saveTypeIndex(app::SaveFormat::JsonLines);
        w.click(w.controls().saveText);
        w.click(w.controls().saveText);
        const QJsonDocument array = QJsonDocument::fromJson(bytesOf(folder.filePath("r.json")));
        QCOMPARE(array.array().size(), 1);
        const QJsonObject row = array.array().at(0).toObject();
        QCOMPARE(row.value("file").toString(), QStringLiteral("/a.pdf"));
        QCOMPARE(row.value("pages").toInt(), 12);
        const QList<QByteArray> lines = bytesOf(folder.filePath("r.log")).split('\n');
        QCOMPARE(lines.size(), 2); // one object, and the end of its line
        QCOMPARE(QJsonDocument::fromJson(lines[0]).object(), row);
    }

    void theTypeChosenOrTypedDecidesTheForm_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        const int text = static_cast<int>(app::SaveFormat::AlignedText);
        const int csv = static_cast<int>(app::SaveFormat::Csv);
        const int book = static_cast<int>(app::SaveFormat::Workbook);
        QTest::newRow("no extension: the chosen type's") << "/d/r" << 2 << "/d/r.xlsx" << book;
        QTest::newRow("a trailing dot") << "/d/r." << 1 << "/d/r.csv" << csv;
        QTest::newRow("a known extension wins") << "/d/r.CSV" << 0 << "/d/r.CSV" << csv;
        QTest::newRow("another extension is kept") << "/d/r.log" << 1 << "/d/r.log" << csv;
        QTest::newRow("type unknown: by the name") << "/d/r.xlsx" << -1 << "/d/r.xlsx" << book;
        QTest::newRow("type unknown, no extension") << "/d/r" << -1 << "/d/r" << text;
        QTest::newRow("a dot in a folder's name") << "/d.x/r" << 0 << "/d.x/r.txt" << text;
    }
    void theTypeChosenOrTypedDecidesTheForm() {
        QFETCH(QString, typed);
        QFETCH(int, chosen);
        QFETCH(QString, path);
        QFETCH(int, format);
        const app::SaveTarget target = app::saveTargetFor(typed, chosen);
        QCOMPARE(target.path, path);
        QCOMPARE(static_cast<int>(target.format), format);
    }

    // A save that fails says why, named as the save's own procedure, and leaves the old file.
    void aFailedSaveIsReportedAndKeepsTheOldFile() {
        Window w;
        QTemporaryDir folder;
        const QString missing = folder.filePath("no such folder/out.txt");
        w.services.prompts.saveFileAnswers << missing;
        w.click(w.controls().saveText);
        const auto reports = w.services.prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].text.startsWith(missing + " cannot be written: "),
                 qPrintable(reports[0].text));
        QVERIFY(reports[0].text.contains("in Lanthorn2021/08/31.Main.SaveListviewProperlySpaced"));
        QVERIFY(!QFile::exists(missing));
    }

    // A name that is one of the files read, or of the files listed, under any name, is
    // refused and the file kept.
    void aSaveOverAFileBeingReadIsRefused() {
        Window w;
        QTemporaryDir folder;
        const QString read = folder.filePath("read.pdf");
        const QString listed = folder.filePath("listed.pdf");
        for (const QString& path : {read, listed}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") == 9);
        }
        QVERIFY(QFile::link(read, folder.filePath("link.txt")));
        w.results.appendRow(read);
        w.window->fileList().append({listed});
        w.services.prompts.saveFileAnswers << folder.filePath("link.txt") << listed;
        w.click(w.controls().saveText);
        w.click(w.controls().saveText);
        const auto refusals = w.services.prompts.ofKind(ScriptedPrompts::Kind::Message);
        QCOMPARE(refusals.size(), 2);
        QVERIFY(refusals[0].text.contains("is one of the PDF files being read (" + read + ")"));
        QVERIFY(refusals[1].text.contains("(" + listed + ")"));
        QCOMPARE(bytesOf(read), QByteArray("%PDF-1.4\n"));
        QCOMPARE(bytesOf(listed), QByteArray("%PDF-1.4\n"));
    }

    // What is saved is the table as it was when the save began: a click meanwhile changes
    // the window, never the file being written.
    void aClickDuringASaveChangesNothingWritten() {
        Window w;
        for (int i = 0; i < 20000; ++i)
            w.results.setCell(w.results.appendRow(QStringLiteral("/d/%1.pdf").arg(i)), 1, "T");
        w.results.tickAll();
        QTemporaryDir folder;
        w.services.prompts.saveFileAnswers << folder.filePath("r.txt");
        w.controls().saveText->click();
        QVERIFY(w.window->isBusy());
        w.controls().clearResults->click();
        QCOMPARE(w.results.count(), 0);
        w.controls().saveText->click(); // a second save meanwhile is refused: no dialog
        QTRY_VERIFY_WITH_TIMEOUT(!w.window->isBusy(), 60000);
        QCOMPARE(bytesOf(folder.filePath("r.txt")).count("\r\n"), 20003);
        QCOMPARE(w.services.prompts.ofKind(ScriptedPrompts::Kind::SaveFile).size(), 1);
        QVERIFY(w.services.prompts.errorReports().isEmpty());
    }

    void theClipboardGetsTheTickedRowsAndTheUserIsTold() {
        Window w;
        w.click(w.controls().copyToClipboard);
        QCOMPARE(w.services.clipboard.text, QByteArray("/a.pdf\tAlpha, \"the first\"\t12\r\n"));
        QCOMPARE(w.services.prompts.shown.last().text, output::resultsCopied);
        QCOMPARE(w.services.prompts.shown.last().title, QStringLiteral("Parvilon"));
    }

    // Nothing ticked, or no rows at all: nothing to copy is said, and the clipboard kept.
    void nothingToCopyIsSaidAndTheClipboardKept() {
        Window w;
        w.services.clipboard.setText("kept");
        w.results.setTicked(0, false);
        w.click(w.controls().copyToClipboard);
        w.results.clearRows();
        w.click(w.controls().copyToClipboard);
        const auto said = w.services.prompts.ofKind(ScriptedPrompts::Kind::Message);
        QCOMPARE(said.size(), 2);
        for (const auto& message : said)
            QCOMPARE(message.text, output::nothingToCopy);
        QCOMPARE(w.services.clipboard.text, QByteArray("kept"));
    }

    // A clipboard that refuses every try: the failure is reported, and no success claimed.
    void aClipboardThatRefusesIsReported() {
        Window w;
        w.services.clipboard.refusals = 100000;
        w.click(w.controls().copyToClipboard);
        const auto reports = w.services.prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].text.startsWith("The clipboard could not be set"));
        QVERIFY(reports[0].text.contains("Form1.PushButton2_Click"));
        for (const auto& message : w.services.prompts.ofKind(ScriptedPrompts::Kind::Message))
            QVERIFY(message.text != output::resultsCopied);
    }

    // Without a spreadsheet application: one question, which offers the workbook as a file:
    // the save dialog then opens on the workbook's type.
    void withoutASpreadsheetApplicationTheWorkbookCanBeSaved() {
        Window w;
        w.services.spreadsheet.installed = false;
        QTemporaryDir folder;
        w.services.prompts.yesNoAnswers << false << true;
        w.services.prompts.saveFileAnswers << folder.filePath("book");
        w.click(w.controls().saveWorkbook);
        w.click(w.controls().saveWorkbook);
        QCOMPARE(w.services.prompts.ofKind(ScriptedPrompts::Kind::YesNo).size(), 2);
        QVERIFY(w.services.prompts.ofKind(ScriptedPrompts::Kind::Message).isEmpty());
        QCOMPARE(w.services.prompts.saveRequests.size(), 1);
        const platform::SaveRequest& asked = w.services.prompts.saveRequests[0];
        QCOMPARE(asked.title, QStringLiteral("4. Save Results As Excel File"));
        QCOMPARE(asked.filters[asked.chosenFilter],
                 QStringLiteral("Spreadsheet workbook (*.xlsx)"));
        QVERIFY(asked.suggestedName.endsWith(".xlsx"));
        // The type chosen adds its extension; the file is a workbook (a zip archive).
        QVERIFY(bytesOf(folder.filePath("book.xlsx")).startsWith("PK"));
        QVERIFY(w.services.spreadsheet.opened.isEmpty());
        QCOMPARE(w.controls().status->text(),
                 "Saved 1 row to " + QDir::toNativeSeparators(folder.filePath("book.xlsx")) + ".");
    }

    // The workbook is written whole, handed over read-only, and shown; an empty table starts
    // nothing.
    void theWorkbookIsHandedOverReadOnly() {
        Window w;
        w.click(w.controls().saveWorkbook);
        QCOMPARE(w.services.spreadsheet.opened.size(), 1);
        const QString book = w.services.spreadsheet.opened[0];
        QVERIFY(book.endsWith(".xlsx"));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(book).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0444u);
        QVERIFY(w.services.prompts.shown.isEmpty());
        w.results.clearRows();
        w.click(w.controls().saveWorkbook);
        QCOMPARE(w.services.spreadsheet.opened.size(), 1);
        QCOMPARE(w.controls().progress->text(), QStringLiteral("Progress Bar"));
    }

    // An application that cannot show it: reported once.
    void aWorkbookThatCannotBeShownIsReported() {
        Window w;
        w.services.spreadsheet.canOpen = false;
        w.click(w.controls().saveWorkbook);
        const auto reports = w.services.prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].text.startsWith("No application could open"));
        QVERIFY(reports[0].text.contains("Form1.PushButton13_Click"));
    }
};

PARVILON_TEST_MAIN(WindowOutputsTest)
#include "tst_windowoutputs.moc"
