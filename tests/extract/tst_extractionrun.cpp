#include "app/BusyState.h"
#include "app/EventPump.h"
#include "app/Settings.h"
#include "extract/ExtractionRun.h"
#include "filelist/FileList.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"
#include "tests/extract/FakeTool.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTimer>

#include <sys/stat.h>

using testsupport::FakeTool;
using testsupport::ScriptedPrompts;

namespace {

QString testPdfs() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/testpdfs");
}

QString testPdf(const QString& name) {
    return testPdfs() + QLatin1Char('/') + name;
}

// What the generator wrote into each test PDF.
QJsonObject manifestEntry(const QString& name) {
    static const QJsonArray files = [] {
        QFile file(testPdf(QStringLiteral("manifest.json")));
        return file.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(file.readAll()).object().value("files").toArray()
                   : QJsonArray();
    }();
    for (const QJsonValue& entry : files)
        if (entry.toObject().value("file").toString() == name)
            return entry.toObject();
    return {};
}

// The page count an independent reader gives.
QString pdfinfoPages(const QString& path) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    pdfinfo.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed();
    return {};
}

QStringList headersOf(const QTreeWidget* table) {
    QStringList headers;
    for (int i = 0; i < table->columnCount(); ++i)
        headers.append(table->headerItem()->text(i));
    return headers;
}

// The cell of a results row under a header.
QString cell(const QTreeWidget* table, int row, const QString& header) {
    const int column = static_cast<int>(headersOf(table).indexOf(header));
    return column < 0 ? QStringLiteral("<no column>") : table->topLevelItem(row)->text(column);
}

// An answer of OK to the password box.
platform::PasswordAnswer ok(const QString& password, bool forAllRemaining = false) {
    return {platform::PasswordAnswer::Choice::Ok, password, forAllRemaining};
}

void chooseOnly(const QStringList& keys) {
    for (int i = 1; i <= 11; ++i) {
        const QString key = QStringLiteral("Column%1").arg(i);
        app::WriteSetting(key, keys.contains(key) ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

// A program folder with our own tool beside the program, or none (then the one on the PATH).
struct ToolChoice {
    testsupport::ProgramFolder folder;
    explicit ToolChoice(const QString& which) {
        if (which == QLatin1String("own"))
            QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/pdftk"),
                        folder.path() + QStringLiteral("/pdftk"));
    }
};

} // namespace

class ExtractionRunTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testsupport::clearSettings();
        app::resetProgramEndForTesting();
        window = testsupport::makeMainWindow();
        window->show();
    }
    void cleanup() { window.reset(); }

    void anEmptyListOnlySaysSo() {
        ScriptedPrompts prompts;
        window->ListView2->setHeaderLabels({"Filename", "Title"});
        new QTreeWidgetItem(window->ListView2, {"/earlier.pdf", "kept"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].text, QStringLiteral("No files added."));
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
        QCOMPARE(window->ListView2->topLevelItemCount(), 1);
        QCOMPARE(headersOf(window->ListView2), (QStringList{"Filename", "Title"}));
    }

    void realPdfsThroughTheRealTool_data() {
        QTest::addColumn<QString>("tool");
        QTest::newRow("pdftk on the PATH") << "path";
        QTest::newRow("our own tool") << "own";
    }
    void realPdfsThroughTheRealTool() {
        QFETCH(QString, tool);
        if (tool == "path" && QStandardPaths::findExecutable("pdftk").isEmpty())
            QSKIP("no pdftk on the PATH");
        if (tool == "own" && !QFile::exists(QCoreApplication::applicationDirPath() + "/pdftk"))
            QSKIP("our own tool is not built");
        QVERIFY2(QFile::exists(testPdf("manifest.json")), "the test PDFs are not built");
        ToolChoice choice(tool);
        ScriptedPrompts prompts;
        const QStringList names = {"plain-all-fields.pdf",
                                   "text-latin1-pdfdoc.pdf",
                                   "text-pdfdoc-typography.pdf",
                                   "text-utf16-cjk-emoji.pdf",
                                   "markup-characters.pdf",
                                   "long-values.pdf",
                                   "pages-12.pdf",
                                   "pages-nested-tree.pdf",
                                   "header-1.7-crlf.pdf",
                                   "header-1.5-cr.pdf",
                                   "header-with-comment.pdf",
                                   "header-after-junk.pdf",
                                   "info-missing.pdf",
                                   "Zoë \"quoted\" 's report.pdf",
                                   "broken-not-a-pdf.pdf",
                                   "broken-empty.pdf",
                                   "missing-file.pdf"};
        QStringList paths;
        for (const QString& name : names)
            paths.append(testPdf(name));
        filelist::appendRows(window->ListView1, paths);

        QTest::mouseClick(window->PushButton3, Qt::LeftButton);

        QTreeWidget* results = window->ListView2;
        QCOMPARE(headersOf(results),
                 (QStringList{"Filename", "PDF Version", "Producer", "Creator", "Title", "Author",
                              "Subject", "Keywords", "Number Of Pages", "Date Modified",
                              "Date Created", "Date Accessed"}));
        QCOMPARE(results->topLevelItemCount(), paths.size());
        for (int row = 0; row < paths.size(); ++row) {
            const QString name = names[row];
            QCOMPARE(results->topLevelItem(row)->text(0), paths[row]);
            QCOMPARE(results->topLevelItem(row)->checkState(0), Qt::Checked);
            const QJsonObject entry = manifestEntry(name);
            if (entry.isEmpty() || entry.value("broken").toBool())
                continue;
            const QJsonObject info = entry.value("info").toObject();
            for (const char* key :
                 {"Title", "Author", "Subject", "Keywords", "Creator", "Producer"}) {
                const QString header = QLatin1String(key);
                QVERIFY2(cell(results, row, header) == info.value(header).toString(),
                         qPrintable(name + ": " + header + " is " + cell(results, row, header)));
            }
            QCOMPARE(cell(results, row, "Number Of Pages"), pdfinfoPages(paths[row]));
            QCOMPARE(cell(results, row, "PDF Version"), entry.value("header").toString().mid(1));
            QVERIFY(!cell(results, row, "Date Accessed").isEmpty());
        }
        const int plain = 0;
        QCOMPARE(cell(results, plain, "Date Created"), QStringLiteral("7/12/2021 8:30:15 AM"));
        QCOMPARE(cell(results, plain, "Date Modified"), QStringLiteral("8/31/2021 2:30:05 PM"));
        // Not a PDF: the first line as it stands; no tool values.
        const int notPdf = static_cast<int>(names.indexOf("broken-not-a-pdf.pdf"));
        QVERIFY(!cell(results, notPdf, "PDF Version").isEmpty());
        QCOMPARE(cell(results, notPdf, "Number Of Pages"), QString());
        // The missing file has a row with its path and nothing else.
        const int missing = static_cast<int>(names.indexOf("missing-file.pdf"));
        for (int column = 1; column < results->columnCount(); ++column)
            QCOMPARE(results->topLevelItem(missing)->text(column), QString());

        // The empty file's and the missing file's versions are reported; nothing else is.
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 2);
        for (const auto& report : reports)
            QVERIFY(report.text.contains("in Lanthorn2021/08/31.Form1.PushButton3_Click at line "));
        // The three files the tool cannot read are marked, with the tool's own words.
        QStringList marked;
        for (int row = 0; row < paths.size(); ++row)
            if (!results->topLevelItem(row)->toolTip(0).isEmpty())
                marked.append(names[row]);
        QCOMPARE(marked,
                 (QStringList{"broken-not-a-pdf.pdf", "broken-empty.pdf", "missing-file.pdf"}));
        QVERIFY(!results->topLevelItem(missing)->toolTip(0).startsWith("The tool"));
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Done.\r\n3 files could not be read."));
        QCOMPARE(window->ProgressBar1->rawValue(), 0);
        QCOMPARE(window->ProgressBar1->text(), QStringLiteral("Progress Bar"));
        QVERIFY(!app::isBusy(window.get()));
        QVERIFY(!QFile::exists(platform::privateTempFolder() + "/result.txt"));
    }

    // The samples are the first thing a user tries: the Japanese title must be drawn with
    // glyphs of some installed font, not as empty boxes.
    void theSamplesReadAsTextOnThisMachine() {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + "/pdftk"))
            QSKIP("our own tool is not built");
        ToolChoice choice(QStringLiteral("own"));
        ScriptedPrompts prompts;
        prompts.yesNoAnswers.enqueue(false); // do not open the samples folder
        QTest::mouseClick(window->PushButton9, Qt::LeftButton);
        QVERIFY(window->ListView1->topLevelItemCount() >= 7);
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        const QTreeWidget* results = window->ListView2;
        int tokyo = -1;
        for (int row = 0; row < results->topLevelItemCount(); ++row)
            if (results->topLevelItem(row)->text(0).endsWith("/Meeting Minutes Tokyo.pdf"))
                tokyo = row;
        QVERIFY(tokyo >= 0);
        const QString title = cell(results, tokyo, "Title");
        QCOMPARE(title, QString::fromUtf8("東京支社 定例会議 議事録"));
        // Laid out as the view lays it out, with the fonts fontconfig falls back to: glyph 0
        // is the empty box a font shows for a character it lacks.
        QTextLayout layout(title, results->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes()) {
                ++glyphs;
                QVERIFY2(glyph != 0,
                         qPrintable("no installed font has a glyph for a character of " + title +
                                    " (install fonts-wqy-microhei)"));
            }
        }
        QCOMPARE(glyphs, title.size());
    }

    void eitherToolGivesTheSameTable() {
        if (QStandardPaths::findExecutable("pdftk").isEmpty())
            QSKIP("no pdftk on the PATH");
        if (!QFile::exists(QCoreApplication::applicationDirPath() + "/pdftk"))
            QSKIP("our own tool is not built");
        // Files where the two differ by design: AES-256, which pdftk-java cannot open; line
        // breaks inside values, which pdftk-java writes raw; UTF-8 with a byte-order mark,
        // which only ours decodes; and TitleX beside Title, which the two list in another
        // order (the later one wins).
        const QStringList differByDesign = {"encrypted-aes-256.pdf", "whitespace-in-values.pdf",
                                            "text-utf8-bom.pdf", "keys-title-and-titlex.pdf"};
        QStringList paths;
        for (const QString& name : QDir(testPdfs()).entryList({"*.pdf"}, QDir::Files, QDir::Name))
            if (!differByDesign.contains(name))
                paths.append(testPdf(name));
        QVERIFY(paths.size() > 40);

        auto tableWith = [&](const QString& tool) {
            ToolChoice choice(tool);
            ScriptedPrompts prompts;
            auto run = testsupport::makeMainWindow();
            filelist::appendRows(run->ListView1, paths);
            extract::PushButton3_Click(*run);
            QStringList rows;
            const int accessed =
                static_cast<int>(headersOf(run->ListView2).indexOf("Date Accessed"));
            for (int row = 0; row < run->ListView2->topLevelItemCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < run->ListView2->columnCount(); ++column)
                    if (column != accessed) // the tools themselves read the files
                        cells.append(run->ListView2->topLevelItem(row)->text(column));
                rows.append(cells.join(" | "));
            }
            return rows;
        };
        const QStringList ours = tableWith("own");
        const QStringList theirs = tableWith("path");
        QCOMPARE(ours.size(), paths.size());
        for (int row = 0; row < ours.size(); ++row)
            QCOMPARE(ours[row], theirs[row]);
    }

    void datesCarryAndFollowTheLocale() {
        if (QStandardPaths::findExecutable("pdftk").isEmpty())
            QSKIP("no pdftk on the PATH");
        testsupport::ProgramFolder folder;
        ScriptedPrompts prompts;
        chooseOnly({"Column9", "Column10"});
        filelist::appendRows(window->ListView1,
                             {testPdf("dates-month-13.pdf"), testPdf("dates-garbage.pdf")});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(headersOf(window->ListView2),
                 (QStringList{"Filename", "Date Modified", "Date Created"}));
        QCOMPARE(cell(window->ListView2, 0, "Date Modified"), QStringLiteral("1/1/2022"));
        QCOMPARE(cell(window->ListView2, 0, "Date Created"),
                 QStringLiteral("1/15/2021 9:30:00 AM"));
        // Garbage dates are reported and leave the file system's dates in place.
        QVERIFY(!cell(window->ListView2, 1, "Date Modified").isEmpty());
        QCOMPARE(prompts.errorReports().size(), 2);
    }

    void nothingChosenStillStartsTheToolForEveryFile() {
        QTemporaryDir tools;
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::writesDump("T", 3));
        ScriptedPrompts prompts;
        chooseOnly({});
        filelist::appendRows(window->ListView1, {"/a.pdf", "/b.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(headersOf(window->ListView2), QStringList{"Filename"});
        QCOMPARE(window->ListView2->topLevelItemCount(), 2);
        QCOMPARE(tool.calls(), 2);
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void aSecondRunStartsAfresh() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::writesDump("First", 3));
        ScriptedPrompts prompts;
        chooseOnly({"Column4", "Column8"});
        filelist::appendRows(window->ListView1, {"/a.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(cell(window->ListView2, 0, "Title"), QStringLiteral("First"));
        chooseOnly({"Column8"});
        filelist::appendRows(window->ListView1, {"/b.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(headersOf(window->ListView2), (QStringList{"Filename", "Number Of Pages"}));
        QCOMPARE(window->ListView2->topLevelItemCount(), 2);
        QCOMPARE(cell(window->ListView2, 1, "Number Of Pages"), QStringLiteral("3"));
    }

    void everyFileAsksForItsPassword() {
        if (QStandardPaths::findExecutable("pdftk").isEmpty())
            QSKIP("no pdftk on the PATH");
        testsupport::ProgramFolder folder;
        ScriptedPrompts prompts;
        chooseOnly({"Column4"});
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        const QStringList paths = {
            testPdf("encrypted-rc4-128.pdf"), testPdf("encrypted-aes-128.pdf"),
            testPdf("plain-title-only.pdf"), testPdf("encrypted-password-quotes.pdf")};
        filelist::appendRows(window->ListView1, paths);
        prompts.passwordAnswers << ok("user128") << ok("wrong") << ok("")
                                << ok("it's \"quoted\" & spaced");
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);

        const auto asked = prompts.ofKind(ScriptedPrompts::Kind::Password);
        QCOMPARE(asked.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(asked[i].title, QStringLiteral("Input Password"));
            QCOMPARE(asked[i].text,
                     "Enter password for file (" + paths[i] +
                         "): \r\nNote: Leave this box blank if file is not password protected");
            QCOMPARE(asked[i].extra, QString());
            QVERIFY(asked[i].concealed);
        }
        QCOMPARE(cell(window->ListView2, 0, "Title"), QStringLiteral("Encrypted RC4-128"));
        QCOMPARE(cell(window->ListView2, 1, "Title"), QString()); // wrong password: marked
        QCOMPARE(cell(window->ListView2, 2, "Title"), QStringLiteral("Only a title"));
        QCOMPARE(cell(window->ListView2, 3, "Title"), QStringLiteral("Encrypted AES-128"));
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void noPasswordMeansNoPasswordArguments() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        ScriptedPrompts prompts;
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        filelist::appendRows(window->ListView1, {"/a.pdf", "/b.pdf"});
        prompts.passwordAnswers << platform::PasswordAnswer{} << ok("pw"); // Cancel, then OK
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        const QStringList calls = tool.log().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(calls.size(), 2);
        QVERIFY2(calls[0].startsWith("/a.pdf dumpdata output "), qPrintable(calls[0]));
        QVERIFY2(calls[1].startsWith("A=/b.pdf input_pw A=PROMPT dumpdata output "),
                 qPrintable(calls[1]));
        QVERIFY(calls[1].contains("|stdin=pw|"));
    }

    // "Use this answer for all remaining files" answers the rest of the run, Cancel
    // included; "Stop" ends the run as if the list ended there: the file asked about gets
    // no row, the rows done stay, ticked, and "Done." follows.
    void protectedBatchesHaveTwoWaysOut_data() {
        QTest::addColumn<QList<platform::PasswordAnswer>>("answers");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QStringList>("stdins"); // what each tool start read, in order
        QTest::newRow("OK for all remaining")
            << QList{ok("first"), ok("pw", true)} << 2 << QStringList{"first", "pw", "pw", "pw"};
        QTest::newRow("Cancel for all remaining")
            << QList{platform::PasswordAnswer{platform::PasswordAnswer::Choice::Cancel, {}, true}}
            << 1 << QStringList{"", "", "", ""};
        QTest::newRow("Stop at the first box")
            << QList{platform::PasswordAnswer{platform::PasswordAnswer::Choice::Stop, {}, false}}
            << 1 << QStringList{};
        QTest::newRow("Stop at the third box")
            << QList{ok("a"), ok("b"),
                     platform::PasswordAnswer{platform::PasswordAnswer::Choice::Stop, "typed",
                                              false}}
            << 3 << QStringList{"a", "b"};
    }
    void protectedBatchesHaveTwoWaysOut() {
        QFETCH(QList<platform::PasswordAnswer>, answers);
        QFETCH(int, boxes);
        QFETCH(QStringList, stdins);
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::writesDump("T", 1));
        ScriptedPrompts prompts;
        chooseOnly({"Column4"});
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        filelist::appendRows(window->ListView1, {"/1.pdf", "/2.pdf", "/3.pdf", "/4.pdf"});
        prompts.passwordAnswers.append(answers);
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);

        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Password).size(), boxes);
        QCOMPARE(prompts.unexpected, 0);
        const QStringList calls = tool.log().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(calls.size(), stdins.size());
        for (qsizetype i = 0; i < calls.size(); ++i)
            QVERIFY2(stdins[i].isEmpty() ? !calls[i].contains("input_pw")
                                         : calls[i].contains("|stdin=" + stdins[i] + "|"),
                     qPrintable(calls[i]));
        QCOMPARE(window->ListView2->topLevelItemCount(), stdins.size());
        for (int row = 0; row < window->ListView2->topLevelItemCount(); ++row) {
            QCOMPARE(window->ListView2->topLevelItem(row)->checkState(0), Qt::Checked);
            QCOMPARE(cell(window->ListView2, row, "Title"), QStringLiteral("T"));
        }
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Done."));
        QVERIFY(!app::isBusy(window.get()));
        QCOMPARE(window->ProgressBar1->text(), QStringLiteral("Progress Bar"));

        // The next run asks again: the answer for all lived for one run only.
        prompts.passwordAnswers << ok("again") << ok("again", true);
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Password).size(), boxes + 2);
    }

    void staleOutputIsNeverRead() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 1"));
        ScriptedPrompts prompts;
        QFile stale(platform::privateTempFolder() + "/result.txt");
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("InfoBegin\nInfoKey: Title\nInfoValue: Stale\nNumberOfPages: 9\n");
        stale.close();
        filelist::appendRows(window->ListView1, {"/a.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(cell(window->ListView2, 0, "Title"), QString());
        QCOMPARE(cell(window->ListView2, 0, "Number Of Pages"), QString());
    }

    void toolsThatFailCostOneRowNotTheRun_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("writes nothing") << "exit 0"
                                        << "The tool wrote no output.";
        QTest::newRow("says why") << "echo 'pdftk: /bad.pdf: wrong password' >&2; exit 1"
                                  << "pdftk: /bad.pdf: wrong password";
        QTest::newRow("crashes") << "kill -SEGV $$"
                                 << "The tool ended with exit code 137.";
        QTest::newRow("writes half and crashes")
            << "printf 'InfoKey: Title\\n' > \"$out\"; kill -KILL $$"
            << "The tool ended with exit code 137.";
        QTest::newRow("hangs") << FakeTool::hangsWithChild()
                               << "The tool was stopped after 1 seconds.";
    }
    // The failing file keeps its row, marked with the reason; the others are read as usual,
    // and the final box counts what could not be read.
    void toolsThatFailCostOneRowNotTheRun() {
        QFETCH(QString, body);
        QFETCH(QString, reason);
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), QStringLiteral("case \"$*\" in *good*) %1 ;; *) %2 ;; esac")
                                         .arg(FakeTool::writesDump("Good", 2), body));
        ScriptedPrompts prompts;
        chooseOnly({"Column4", "Column8"});
        filelist::appendRows(window->ListView1, {"/bad.pdf", "/good.pdf"});
        extract::RunLimits limits;
        limits.maximumSeconds = 1;
        extract::PushButton3_Click(*window, limits);
        QCOMPARE(window->ListView2->topLevelItemCount(), 2);
        QCOMPARE(cell(window->ListView2, 0, "Number Of Pages"), QString());
        QCOMPARE(cell(window->ListView2, 1, "Title"), QStringLiteral("Good"));
        const QTreeWidgetItem* bad = window->ListView2->topLevelItem(0);
        const QTreeWidgetItem* good = window->ListView2->topLevelItem(1);
        QCOMPARE(bad->toolTip(0), reason);
        QVERIFY(!bad->icon(0).isNull());
        QVERIFY(good->toolTip(0).isEmpty() && good->icon(0).isNull());
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Done.\r\n1 file could not be read."));
        if (tool.childPid() > 0)
            QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }

    // A tool that cannot be started is reported once, with its path and the reason, and not
    // tried again; the rows still get their file details and versions.
    void aToolThatCannotStartIsReportedOnce() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        QFile::setPermissions(tool.path(), QFile::ReadOwner | QFile::WriteOwner);
        ScriptedPrompts prompts;
        chooseOnly({"Column1", "Column4", "Column11"});
        const QString pdf = testPdf(QStringLiteral("plain-all-fields.pdf"));
        filelist::appendRows(window->ListView1, {pdf, pdf, pdf});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].text.startsWith("The tool " + tool.path() +
                                            " cannot be started: Permission denied."),
                 qPrintable(reports[0].text));
        QCOMPARE(tool.calls(), 0);
        for (int row = 0; row < 3; ++row) {
            QVERIFY(cell(window->ListView2, row, "PDF Version").startsWith("PDF-1."));
            QVERIFY(!cell(window->ListView2, row, "Date Accessed").isEmpty());
            QVERIFY(window->ListView2->topLevelItem(row)->toolTip(0).contains("cannot be started"));
        }
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Done.\r\n3 files could not be read."));
    }

    // Without its private folder the run would read and delete /result.txt: it stops before
    // touching anything.
    void withoutAPrivateFolderNothingIsRun() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::writesDump("T", 1));
        platform::overridePrivateTempFolder(QString());
        const auto restore = qScopeGuard([] { platform::overridePrivateTempFolder(std::nullopt); });
        window->ListView2->setHeaderLabels({"Filename", "Title"});
        new QTreeWidgetItem(window->ListView2, {"/earlier.pdf", "kept"});
        ScriptedPrompts prompts;
        filelist::appendRows(window->ListView1, {"/a.pdf", "/b.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.shown[0].text.startsWith("No private temporary folder can be made"));
        QCOMPARE(tool.calls(), 0);
        QCOMPARE(window->ListView2->topLevelItemCount(), 1);
        QCOMPARE(headersOf(window->ListView2), (QStringList{"Filename", "Title"}));
        QVERIFY(!app::isBusy(window.get()));
    }

    void aFifoNamedLikeAPdfNeitherBlocksNorReachesTheTool() {
        QTemporaryDir files;
        const QString fifo = files.filePath("pipe.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::writesDump("T", 1));
        ScriptedPrompts prompts;
        chooseOnly({"Column1", "Column4"});
        filelist::appendRows(window->ListView1, {fifo, "/after.pdf"});
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QCOMPARE(tool.calls(), 1);
        QVERIFY(tool.log().startsWith("/after.pdf "));
        QCOMPARE(window->ListView2->topLevelItemCount(), 2);
        QCOMPARE(cell(window->ListView2, 1, "Title"), QStringLiteral("T"));
        // Neither version can be read: the pipe is no file, the other file does not exist.
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].text.contains("pipe.pdf is not a regular file."));
    }

    void progressShowsEachFilesShareAndResets() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), QStringLiteral("sleep 0.3"));
        ScriptedPrompts prompts;
        filelist::appendRows(window->ListView1, {"/d/a.pdf", "/d/b.pdf", "/d/c.pdf", "/d/d.pdf"});
        QList<QPair<QString, int>> seen;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, [&] {
            const QPair<QString, int> now{window->ProgressBar1->text(),
                                          window->ProgressBar1->rawValue()};
            if (seen.isEmpty() || seen.last() != now)
                seen.append(now);
        });
        sampler.start(20);
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        sampler.stop();
        const QList<QPair<QString, int>> expected = {{"Processing: a.pdf", 25},
                                                     {"Processing: b.pdf", 50},
                                                     {"Processing: c.pdf", 75},
                                                     {"Processing: d.pdf", 100}};
        for (const auto& step : expected)
            QVERIFY2(seen.contains(step), qPrintable(step.first));
        QCOMPARE(window->ProgressBar1->text(), QStringLiteral("Progress Bar"));
        QCOMPARE(window->ProgressBar1->rawValue(), 0);
    }

    void whatAUserDoesDuringARunIsSafe() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), "sleep 0.4; " + FakeTool::writesDump("T", 1));
        ScriptedPrompts prompts;
        chooseOnly({"Column4"});
        filelist::appendRows(window->ListView1, {"/1.pdf", "/2.pdf", "/3.pdf", "/4.pdf"});
        window->ListView1->setCurrentItem(window->ListView1->topLevelItem(0));
        int step = 0;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            switch (step++) {
            case 0: // a second start is refused
                QTest::mouseClick(window->PushButton3, Qt::LeftButton);
                break;
            case 1: // the file list cannot shrink under the run
                QTest::mouseClick(window->PushButton8, Qt::LeftButton);
                QTest::mouseDClick(window->ListView1->viewport(), Qt::LeftButton);
                break;
            case 2: { // the Delete key on the results table is refused while busy
                window->ListView2->setCurrentItem(window->ListView2->topLevelItem(0));
                QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
                QApplication::sendEvent(window->ListView2, &del);
                break;
            }
            case 3: // "Clear Results" empties the table under the run
                QTest::mouseClick(window->PushButton5, Qt::LeftButton);
                break;
            case 4: // a file added meanwhile is not part of this run
                prompts.openFilesAnswers.enqueue({"/5.pdf"});
                QTest::mouseClick(window->PushButton7, Qt::LeftButton);
                break;
            }
        });
        user.start(250);
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        user.stop();
        QVERIFY(step >= 5);
        QCOMPARE(tool.calls(), 4);
        QCOMPARE(window->ListView1->topLevelItemCount(), 5);
        // The rows of the files processed after the clearing remain, ticked and filled.
        const int left = window->ListView2->topLevelItemCount();
        QVERIFY(left >= 1 && left < 4);
        for (int row = 0; row < left; ++row) {
            QCOMPARE(window->ListView2->topLevelItem(row)->checkState(0), Qt::Checked);
            QCOMPARE(cell(window->ListView2, row, "Title"), QStringLiteral("T"));
        }
        QCOMPARE(window->ListView2->topLevelItem(left - 1)->text(0), QStringLiteral("/4.pdf"));
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void closingTheWindowDuringARunEndsItAndTheTool() {
        testsupport::ProgramFolder folder;
        FakeTool tool(folder.path(), FakeTool::hangsWithChild());
        ScriptedPrompts prompts;
        filelist::appendRows(window->ListView1, {"/1.pdf", "/2.pdf"});
        QTimer::singleShot(600, window.get(), [&] { window->close(); });
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window->PushButton3, Qt::LeftButton);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(tool.calls(), 1);
        QVERIFY(app::programIsEnding());
        QVERIFY(tool.childPid() > 0);
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
        QVERIFY(prompts.ofKind(ScriptedPrompts::Kind::Message).isEmpty()); // no "Done."
    }

private:
    std::unique_ptr<app::Form1> window;
};

PARVILON_TEST_MAIN(ExtractionRunTest)
#include "tst_extractionrun.moc"
