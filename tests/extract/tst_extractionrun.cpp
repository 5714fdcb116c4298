// The extraction run as "3. Start Extracting" starts it: through the window, on models and
// services of the test's own, with the real tool or a stand-in.
#include "base/CellText.h"
#include "base/FileListModel.h"
#include "base/ResultsModel.h"
#include "base/Settings.h"
#include "gui/TextProgressBar.h"
#include "platform/Prompts.h"
#include "tests/support/FakeTool.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <sys/wait.h>

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

QStringList headersOf(const base::ResultsModel& results) {
    return results.headers();
}

// The cell of a results row under a header, as the table shows it.
QString cell(const base::ResultsModel& results, int row, const QString& header) {
    const int column = static_cast<int>(results.headers().indexOf(header));
    return column < 0 ? QStringLiteral("<no column>") : base::cellText(results.cell(row, column));
}

// An answer of OK to the password box.
platform::PasswordAnswer ok(const QString& password, bool forAllRemaining = false) {
    return {platform::PasswordAnswer::Choice::Ok, password, forAllRemaining};
}

void chooseOnly(const QStringList& keys) {
    for (int i = 1; i <= 11; ++i) {
        const QString key = QStringLiteral("Column%1").arg(i);
        base::writeSetting(key, keys.contains(key) ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

// The run as "3. Start Extracting" starts it, in a window of the test's own.
struct Run {
    testsupport::TestServices services;
    std::unique_ptr<app::MainWindow> window = testsupport::makeMainWindow(services);
    base::FileListModel& files = window->fileList();
    base::ResultsModel& results = window->results();
    // What the window's progress bar showed.
    testsupport::RecordingProgress progress;
    bool askForPasswords = false;
    extract::RunLimits limits;
    // One tool at a time, the order of every step as it always was, unless a test says
    // otherwise.
    int parallelTools = 1;

    Run() {
        window->show();
        gui::TextProgressBar* bar = window->controls().progress;
        QObject::connect(bar, &gui::TextProgressBar::textChanged, [this, bar](const QString& text) {
            progress.setValue(bar->rawValue());
            progress.setText(text);
        });
    }
    QString programFolder() const { return services.folders.programFolder(); }
    // Our own tool beside the program; without it, the one on the PATH.
    void useOwnTool() {
        QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/pdftk"),
                    programFolder() + QStringLiteral("/pdftk"));
    }
    // Presses the button and waits until the run, if it starts, has ended.
    void start() {
        window->runLimits = limits;
        window->parallelTools = parallelTools;
        window->controls().askForPasswords->setChecked(askForPasswords);
        window->controls().startExtraction->click();
        if (window->isBusy())
            QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy() || !window->isVisible(), 120000);
    }
};
} // namespace

class ExtractionRunTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testsupport::clearSettings();
        run = std::make_unique<Run>();
    }
    void cleanup() { run.reset(); }

    void anEmptyListOnlySaysSo() {
        ScriptedPrompts& prompts = run->services.prompts;
        run->results.setColumns({base::Property::Title});
        run->results.setCell(run->results.appendRow("/earlier.pdf"), 1, "kept");
        run->start();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].text, QStringLiteral("No files added."));
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
        QCOMPARE(run->results.count(), 1);
        QCOMPARE(headersOf(run->results), (QStringList{"Filename", "Title"}));
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
        if (tool == "own")
            run->useOwnTool();
        ScriptedPrompts& prompts = run->services.prompts;
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
        run->files.append(paths);

        run->start();

        const base::ResultsModel& results = run->results;
        QCOMPARE(headersOf(results),
                 (QStringList{"Filename", "PDF Version", "Producer", "Creator", "Title", "Author",
                              "Subject", "Keywords", "Number Of Pages", "Date Modified",
                              "Date Created", "Date Accessed"}));
        QCOMPARE(results.count(), paths.size());
        for (int row = 0; row < paths.size(); ++row) {
            const QString name = names[row];
            QCOMPARE(results.path(row), paths[row]);
            QVERIFY(results.isTicked(row));
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
        for (int column = 1; column < results.columnCount(); ++column)
            QVERIFY(results.cell(missing, column).isEmpty());

        // The files the tool could not read say why in their rows, once: their versions,
        // which cannot be read either, are not reported on top.
        QCOMPARE(prompts.errorReports().size(), 0);
        // The three files the tool cannot read are marked, with the tool's own words.
        QStringList marked;
        for (int row = 0; row < paths.size(); ++row)
            if (!results.unreadReason(row).isEmpty())
                marked.append(names[row]);
        QCOMPARE(marked,
                 (QStringList{"broken-not-a-pdf.pdf", "broken-empty.pdf", "missing-file.pdf"}));
        QVERIFY(!results.unreadReason(missing).startsWith("The tool"));
        QVERIFY(prompts.shown.last().text.startsWith(
            QStringLiteral("Done.\r\n3 files could not be read.")));
        QCOMPARE(run->progress.value(), 0);
        QCOMPARE(run->progress.text(), QStringLiteral("Progress Bar"));
        QVERIFY(!run->window->isBusy());
        QVERIFY(!QFile::exists(run->services.folders.privateTempFolder() + "/result.txt"));
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
            Run other;
            if (tool == "own")
                other.useOwnTool();
            other.files.append(paths);
            other.start();
            QStringList rows;
            const int accessed = static_cast<int>(other.results.headers().indexOf("Date Accessed"));
            for (int row = 0; row < other.results.count(); ++row) {
                QStringList cells;
                for (int column = 0; column < other.results.columnCount(); ++column)
                    if (column != accessed) // the tools themselves read the files
                        cells.append(base::cellText(other.results.cell(row, column)));
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
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column9", "Column10"});
        run->files.append({testPdf("dates-month-13.pdf"), testPdf("dates-garbage.pdf")});
        run->start();
        QCOMPARE(headersOf(run->results),
                 (QStringList{"Filename", "Date Modified", "Date Created"}));
        QCOMPARE(cell(run->results, 0, "Date Modified"), QStringLiteral("1/1/2022"));
        QCOMPARE(cell(run->results, 0, "Date Created"), QStringLiteral("1/15/2021 9:30:00 AM"));
        // Garbage dates are reported and leave the file system's dates in place.
        QVERIFY(!cell(run->results, 1, "Date Modified").isEmpty());
        QCOMPARE(prompts.errorReports().size(), 2);
    }

    void nothingChosenStillStartsTheToolForEveryFile() {
        QTemporaryDir tools;
        FakeTool tool(run->programFolder(), FakeTool::writesDump("T", 3));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({});
        run->files.append({"/a.pdf", "/b.pdf"});
        run->start();
        QCOMPARE(headersOf(run->results), QStringList{"Filename"});
        QCOMPARE(run->results.count(), 2);
        QCOMPARE(tool.calls(), 2);
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void aSecondRunStartsAfresh() {
        FakeTool tool(run->programFolder(), FakeTool::writesDump("First", 3));
        chooseOnly({"Column4", "Column8"});
        run->files.append({"/a.pdf"});
        run->start();
        QCOMPARE(cell(run->results, 0, "Title"), QStringLiteral("First"));
        chooseOnly({"Column8"});
        run->files.append({"/b.pdf"});
        run->start();
        QCOMPARE(headersOf(run->results), (QStringList{"Filename", "Number Of Pages"}));
        QCOMPARE(run->results.count(), 2);
        QCOMPARE(cell(run->results, 1, "Number Of Pages"), QStringLiteral("3"));
    }

    // Only a file that needs a password asks for it, once more when the one given was wrong,
    // and the questions come in list order: through our own tool, which keeps serving.
    void onlyProtectedFilesAskForPasswords() {
        run->useOwnTool();
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4"});
        run->askForPasswords = true;
        run->parallelTools = 2;
        const QStringList paths = {
            testPdf("encrypted-rc4-128.pdf"), testPdf("encrypted-aes-128.pdf"),
            testPdf("plain-title-only.pdf"), testPdf("encrypted-password-quotes.pdf")};
        run->files.append(paths);
        prompts.passwordAnswers << ok("user128") << ok("wrong") << ok("")
                                << ok("it's \"quoted\" & spaced");
        run->start();

        const auto asked = prompts.ofKind(ScriptedPrompts::Kind::Password);
        const auto question = [](const QString& path) {
            return "Enter password for file (" + path +
                   "): \r\nNote: Leave this box blank if file is not password protected";
        };
        const QStringList expected = {question(paths[0]), question(paths[1]),
                                      "Wrong password.\r\n" + question(paths[1]),
                                      question(paths[3])};
        QCOMPARE(asked.size(), expected.size());
        for (int i = 0; i < asked.size(); ++i) {
            QCOMPARE(asked[i].title, QStringLiteral("Input Password"));
            QCOMPARE(asked[i].text, expected[i]);
            QVERIFY(asked[i].concealed);
        }
        QCOMPARE(cell(run->results, 0, "Title"), QStringLiteral("Encrypted RC4-128"));
        QCOMPARE(cell(run->results, 1, "Title"), QString()); // wrong, then none: marked
        QVERIFY(run->results.unreadReason(1).contains("password"));
        QCOMPARE(cell(run->results, 2, "Title"), QStringLiteral("Only a title"));
        QCOMPARE(cell(run->results, 3, "Title"), QStringLiteral("Encrypted AES-128"));
        QVERIFY(prompts.errorReports().isEmpty());
    }

    // A file is read without a password first; a password goes to the tool on its standard
    // input, never as an argument, and only once given.
    void aPasswordOnlyWhenOneIsNeeded() {
        FakeTool tool(run->programFolder(),
                      FakeTool::needsPassword(QString(), FakeTool::writesDump("T", 1)));
        ScriptedPrompts& prompts = run->services.prompts;
        run->askForPasswords = true;
        run->files.append({"/a.pdf", "/b.pdf"});
        prompts.passwordAnswers << platform::PasswordAnswer{} << ok("pw"); // Cancel, then OK
        run->start();
        const QStringList calls = tool.log().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(calls.size(), 3);
        QVERIFY2(calls[0].startsWith("/a.pdf dumpdata output "), qPrintable(calls[0]));
        QVERIFY2(calls[1].startsWith("/b.pdf dumpdata output "), qPrintable(calls[1]));
        QVERIFY2(calls[2].startsWith("A=/b.pdf input_pw A=PROMPT dumpdata output "),
                 qPrintable(calls[2]));
        QVERIFY(calls[2].contains("|stdin=pw|"));
        QVERIFY(!calls[2].section('|', 0, 0).split(' ').contains("pw"));
        QVERIFY(run->results.unreadReason(0).contains("Failed to open"));
        QCOMPARE(run->results.unreadReason(1), QString());
    }

    // "Use this answer for all remaining files" answers the rest of the run, Cancel
    // included; "Stop" ends the run as if the list ended there: the file asked about gets
    // no row, the rows done stay, ticked, and "Done." follows.
    void protectedBatchesHaveTwoWaysOut_data() {
        QTest::addColumn<QList<platform::PasswordAnswer>>("answers");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QStringList>("stdins"); // what each tool start read, in order
        QTest::addColumn<int>("readRows");       // rows filled, then unread ones
        QTest::addColumn<int>("unreadRows");
        const auto stop =
            platform::PasswordAnswer{platform::PasswordAnswer::Choice::Stop, {}, false};
        QTest::newRow("OK for all remaining")
            << QList{ok("first"), ok("pw", true)} << 2
            << QStringList{"", "first", "", "pw", "", "pw", "", "pw"} << 4 << 0;
        QTest::newRow("Cancel for all remaining")
            << QList{platform::PasswordAnswer{platform::PasswordAnswer::Choice::Cancel, {}, true}}
            << 1 << QStringList{"", "", "", ""} << 0 << 4;
        QTest::newRow("Stop at the first box") << QList{stop} << 1 << QStringList{""} << 0 << 0;
        QTest::newRow("Stop at the third box")
            << QList{ok("a"), ok("b"),
                     platform::PasswordAnswer{platform::PasswordAnswer::Choice::Stop, "typed",
                                              false}}
            << 3 << QStringList{"", "a", "", "b", ""} << 2 << 0;
    }
    void protectedBatchesHaveTwoWaysOut() {
        QFETCH(QList<platform::PasswordAnswer>, answers);
        QFETCH(int, boxes);
        QFETCH(QStringList, stdins);
        QFETCH(int, readRows);
        QFETCH(int, unreadRows);
        FakeTool tool(run->programFolder(),
                      FakeTool::needsPassword(QString(), FakeTool::writesDump("T", 1)));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4"});
        run->askForPasswords = true;
        run->files.append({"/1.pdf", "/2.pdf", "/3.pdf", "/4.pdf"});
        prompts.passwordAnswers.append(answers);
        prompts.yesNoAnswers << false; // the final box's offer, when files were left unread
        run->start();

        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Password).size(), boxes);
        QCOMPARE(prompts.unexpected, 0);
        const QStringList calls = tool.log().split('\n', Qt::SkipEmptyParts);
        QVERIFY2(calls.size() == stdins.size(), qPrintable(tool.log()));
        for (qsizetype i = 0; i < calls.size(); ++i)
            QVERIFY2(stdins[i].isEmpty() ? !calls[i].contains("input_pw")
                                         : calls[i].contains("|stdin=" + stdins[i] + "|"),
                     qPrintable(calls[i]));
        QCOMPARE(run->results.count(), readRows + unreadRows);
        for (int row = 0; row < run->results.count(); ++row) {
            QVERIFY(run->results.isTicked(row));
            QCOMPARE(cell(run->results, row, "Title"),
                     row < readRows ? QStringLiteral("T") : QString());
        }
        QVERIFY(prompts.shown.last().text.startsWith(QStringLiteral("Done.")));
        QVERIFY(!run->window->isBusy());
        QCOMPARE(run->progress.text(), QStringLiteral("Progress Bar"));

        // The next run asks again: the answer for all lived for one run only.
        prompts.passwordAnswers << ok("again") << ok("again", true);
        run->start();
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Password).size(), boxes + 2);
    }

    // A password asked while a later file is read beside it: progress names the file asked
    // about, the time the box is open is not the tool's, and the final count is of the rows
    // the table holds (the user cleared them meanwhile).
    void aQuestionBesideAToolAtWork() {
        // File 1 takes a second to say it needs a password; files 2 and 3 need one at once.
        FakeTool tool(
            run->programFolder(),
            QStringLiteral("case \"$*\" in */1.pdf*) [ -z \"$input\" ] && sleep 1 ;; esac\n%1")
                .arg(FakeTool::needsPassword(QString(), FakeTool::writesDump("T", 1))));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4"});
        run->askForPasswords = true;
        run->parallelTools = 2;
        run->limits.pass = std::chrono::milliseconds(10);
        run->files.append({"/d/1.pdf", "/d/2.pdf", "/d/3.pdf"});
        prompts.passwordAnswers << ok("x") << ok("") << ok("");
        QStringList namedWhileAsking;
        prompts.whileShowing = [&](const ScriptedPrompts::Shown& shown) {
            if (shown.kind != ScriptedPrompts::Kind::Password)
                return;
            namedWhileAsking.append(run->progress.text());
            if (shown.text.contains("/d/1.pdf")) // file 1 is read again once answered
                QThread::msleep(1500);
        };
        // The user clears the table once the first two rows are there.
        connect(&run->results, &QAbstractItemModel::rowsInserted, this, [this] {
            if (run->results.count() == 2)
                run->results.clearRows();
        });
        run->start();
        QCOMPARE(namedWhileAsking,
                 (QStringList{"Processing 1 of 3: 1.pdf", "Processing 2 of 3: 2.pdf",
                              "Processing 3 of 3: 3.pdf"}));
        // File 1's tool ran for a second, 100 passes of 10 ms, the first 50 without a
        // waiting text; the 1.5 s the box was open add none.
        int longestWait = 0;
        for (const QString& text : run->progress.texts)
            if (const qsizetype at = text.indexOf("Please wait.. "); at >= 0)
                longestWait = std::max(longestWait, text.mid(at + 14).toInt());
        QVERIFY2(longestWait < 80, qPrintable(QString::number(longestWait)));
        QCOMPARE(run->results.count(), 1);
        QVERIFY(prompts.shown.last().text.startsWith(QStringLiteral("Done.")));
    }

    // A file that may not be read says so once, in its row, with the system's own words.
    void anUnreadableFileGivesOneReason() {
        QTemporaryDir files;
        const QString locked = files.filePath("locked.pdf");
        QVERIFY(QFile::copy(testPdf("pages-3.pdf"), locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        if (QFile(locked).open(QIODevice::ReadOnly))
            QSKIP("running with the right to read every file");
        run->useOwnTool();
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column1", "Column8"});
        run->files.append({locked});
        run->start();
        QVERIFY2(run->results.unreadReason(0).contains("Permission denied"),
                 qPrintable(run->results.unreadReason(0)));
        QVERIFY(prompts.errorReports().isEmpty());
    }

    // Names the tool could take for a file handle or an option name the files they are.
    void namesThatLookLikeHandlesOrOptions() {
        QTemporaryDir files;
        QVERIFY(QFile::copy(testPdf("pages-3.pdf"), files.filePath("report.pdf")));
        QVERIFY(QFile::copy(testPdf("pages-12.pdf"), files.filePath("X=report.pdf")));
        QVERIFY(QFile::copy(testPdf("pages-12.pdf"), files.filePath("-r.pdf")));
        const QString before = QDir::currentPath();
        QDir::setCurrent(files.path());
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        run->useOwnTool();
        chooseOnly({"Column8"});
        run->files.append({"X=report.pdf", "-r.pdf", files.filePath("X=report.pdf")});
        run->start();
        for (int row = 0; row < 3; ++row)
            QCOMPARE(cell(run->results, row, "Number Of Pages"), QStringLiteral("12"));
    }

    // Tools side by side: a slow file does not hold up the tools of the files after it, yet
    // rows are made, filled and named by the progress in list order.
    void aSlowToolFollowedByFastOnes() {
        FakeTool tool(run->programFolder(),
                      QStringLiteral("case \"$1\" in *slow*) sleep 0.8 ;; esac\n"
                                     "name=$(basename \"$1\" .pdf)\n"
                                     "printf 'InfoBegin\\nInfoKey: Title\\nInfoValue: %s\\n' "
                                     "\"$name\" > \"$out\"\n"
                                     "echo \"$name\" >> \"$here/ends.log\""));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4"});
        const QStringList names = {"slow", "fast1", "fast2", "fast3", "fast4", "fast5"};
        for (const QString& name : names)
            run->files.append({"/d/" + name + ".pdf"});
        run->parallelTools = 3;
        run->start();

        QCOMPARE(tool.calls(), 6);
        for (int row = 0; row < names.size(); ++row) {
            QCOMPARE(run->results.path(row), "/d/" + names[row] + ".pdf");
            QCOMPARE(cell(run->results, row, "Title"), names[row]);
            QVERIFY(run->results.isTicked(row));
        }
        // Every fast file was read while the slow one still ran.
        QFile ends(run->programFolder() + "/ends.log");
        QVERIFY(ends.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(ends.readAll()).split('\n', Qt::SkipEmptyParts).last(),
                 QStringLiteral("slow"));
        // The progress named each file once its row was next, in list order, with its number.
        QStringList named;
        for (auto [text, value] : run->progress.seen) {
            text = text.section(QStringLiteral(", about "), 0, 0);
            if (text.startsWith("Processing ") && (named.isEmpty() || named.last() != text))
                named.append(text);
        }
        QStringList expected;
        for (int i = 0; i < names.size(); ++i)
            expected.append(QStringLiteral("Processing %1 of 6: %2.pdf").arg(i + 1).arg(names[i]));
        QCOMPARE(named, expected);
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Done."));
        QCOMPARE(
            QDir(run->services.folders.privateTempFolder()).entryList({"result*"}, QDir::Files),
            QStringList());
    }

    // A hanging tool and a crashing one side by side: each is stopped or ends on its own,
    // and each marks only its own row.
    void aHangBesideACrash() {
        FakeTool tool(run->programFolder(),
                      QStringLiteral("case \"$1\" in *hang*) %1 ;; *crash*) kill -SEGV $$ ;; "
                                     "*) %2 ;; esac")
                          .arg(FakeTool::hangsWithChild(), FakeTool::writesDump("Good", 1)));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4"});
        run->files.append({"/hang.pdf", "/crash.pdf", "/good.pdf"});
        run->parallelTools = 2;
        run->limits.toolLimit = std::chrono::milliseconds(700);
        run->start();
        QCOMPARE(run->results.unreadReason(0),
                 QStringLiteral("The tool was stopped after 0.7 seconds."));
        QCOMPARE(run->results.unreadReason(1),
                 QStringLiteral("The tool ended with exit code 137."));
        QCOMPARE(run->results.unreadReason(2), QString());
        QCOMPARE(cell(run->results, 2, "Title"), QStringLiteral("Good"));
        QVERIFY(prompts.shown.last().text.startsWith(
            QStringLiteral("Done.\r\n2 files could not be read.")));
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }

    // The program ending (its window closed) while tools work, while a password is asked,
    // while a row is made beside its started tool, or while the next file is read: every
    // tool stops with its children, and no output file stays behind.
    void theEndOfTheProgramInEachPhase_data() {
        QTest::addColumn<QString>("phase");
        QTest::newRow("tools at work") << "tools";
        QTest::newRow("at a password") << "password";
        QTest::newRow("as a row is made") << "row";
        QTest::newRow("between files") << "between";
    }
    void theEndOfTheProgramInEachPhase() {
        QFETCH(QString, phase);
        // The first file is read at once (or says it needs a password); the others hang, but
        // for "between files".
        const QString first = phase == "password"
                                  ? FakeTool::needsPassword(QString(), FakeTool::writesDump("T", 1))
                                  : FakeTool::writesDump("T", 1);
        FakeTool tool(run->programFolder(),
                      QStringLiteral("case \"$*\" in */1.pdf*) %1 ;; *) %2 ;; esac")
                          .arg(first, phase == "between" ? FakeTool::writesDump("T", 1)
                                                         : FakeTool::hangsWithChild()));
        ScriptedPrompts& prompts = run->services.prompts;
        run->files.append({"/1.pdf", "/2.pdf", "/3.pdf", "/4.pdf", "/5.pdf"});
        run->parallelTools = 2;
        if (phase == "password") {
            run->askForPasswords = true;
            prompts.passwordAnswers << ok("");
            prompts.whileShowing = [&](const ScriptedPrompts::Shown& shown) {
                if (shown.kind == ScriptedPrompts::Kind::Password)
                    run->window->close(); // the second file's tool at work meanwhile
            };
        } else if (phase == "row") {
            // As the first row is made: the end is seen as the next one is, beside its tool
            // that has just started.
            connect(&run->results, &QAbstractItemModel::rowsInserted, this,
                    [this] { run->window->close(); });
        } else if (phase == "between") {
            connect(&run->results, &QAbstractItemModel::rowsInserted, this, [this] {
                run->window->close(); // as the first row is filled
            });
        } else {
            QTimer::singleShot(400, run->window.get(), [this] { run->window->close(); });
        }
        run->start();
        QVERIFY(!run->window->isVisible());
        QVERIFY(!run->window->isBusy());
        // Hanging tools hold their two places; fast ones may all have run before the first
        // row is filled, on a slow machine.
        QVERIFY(tool.calls() <= (phase == "between" ? 5 : 3));
        // A tool stopped as soon as it started may not have logged its call.
        QVERIFY(tool.calls() >= 1 || phase == "row");
        for (const qint64 child : tool.childPids())
            QTRY_VERIFY(!FakeTool::processAlive(child));
        // Every tool was waited for: this process has no child left, not even one that has
        // not yet started its own.
        siginfo_t info{};
        QCOMPARE(::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT), -1);
        QCOMPARE(errno, ECHILD);
        QCOMPARE(
            QDir(run->services.folders.privateTempFolder()).entryList({"result*"}, QDir::Files),
            QStringList());
        for (const auto& message : prompts.ofKind(ScriptedPrompts::Kind::Message))
            QVERIFY(!message.text.startsWith("Done."));
    }

    void staleOutputIsNeverRead() {
        FakeTool tool(run->programFolder(), QStringLiteral("exit 1"));
        QFile stale(run->services.folders.privateTempFolder() + "/result.txt");
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("InfoBegin\nInfoKey: Title\nInfoValue: Stale\nNumberOfPages: 9\n");
        stale.close();
        run->files.append({"/a.pdf"});
        run->start();
        QCOMPARE(cell(run->results, 0, "Title"), QString());
        QCOMPARE(cell(run->results, 0, "Number Of Pages"), QString());
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
                               << "The tool was stopped after 0.5 seconds.";
    }
    // The failing file keeps its row, marked with the reason; the others are read as usual,
    // and the final box counts what could not be read.
    void toolsThatFailCostOneRowNotTheRun() {
        QFETCH(QString, body);
        QFETCH(QString, reason);
        FakeTool tool(run->programFolder(),
                      QStringLiteral("case \"$*\" in *good*) %1 ;; *) %2 ;; esac")
                          .arg(FakeTool::writesDump("Good", 2), body));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column4", "Column8"});
        run->files.append({"/bad.pdf", "/good.pdf"});
        run->limits.toolLimit = std::chrono::milliseconds(500);
        run->start();
        QCOMPARE(run->results.count(), 2);
        QCOMPARE(cell(run->results, 0, "Number Of Pages"), QString());
        QCOMPARE(cell(run->results, 1, "Title"), QStringLiteral("Good"));
        QCOMPARE(run->results.unreadReason(0), reason);
        QCOMPARE(run->results.unreadReason(1), QString());
        QVERIFY(prompts.shown.last().text.startsWith(
            QStringLiteral("Done.\r\n1 file could not be read.")));
        if (tool.childPid() > 0)
            QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }

    // A tool that cannot be started is reported once, with its path and the reason, and not
    // tried again; the rows still get their file details and versions.
    void aToolThatCannotStartIsReportedOnce() {
        FakeTool tool(run->programFolder(), QStringLiteral("exit 0"));
        QFile::setPermissions(tool.path(), QFile::ReadOwner | QFile::WriteOwner);
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column1", "Column4", "Column11"});
        const QString pdf = testPdf(QStringLiteral("plain-all-fields.pdf"));
        run->files.append({pdf, pdf, pdf});
        run->start();
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].text.startsWith("The tool " + tool.path() +
                                            " cannot be started: Permission denied."),
                 qPrintable(reports[0].text));
        QCOMPARE(tool.calls(), 0);
        for (int row = 0; row < 3; ++row) {
            QVERIFY(cell(run->results, row, "PDF Version").startsWith("PDF-1."));
            QVERIFY(!cell(run->results, row, "Date Accessed").isEmpty());
            QVERIFY(run->results.unreadReason(row).contains("cannot be started"));
        }
        QVERIFY(prompts.shown.last().text.startsWith(
            QStringLiteral("Done.\r\n3 files could not be read.")));
    }

    // Without its private folder the run would read and delete /result.txt: it stops before
    // touching anything.
    void withoutAPrivateFolderNothingIsRun() {
        FakeTool tool(run->programFolder(), FakeTool::writesDump("T", 1));
        run->services.folders.temporaryFolderFails = true;
        run->results.setColumns({base::Property::Title});
        run->results.setCell(run->results.appendRow("/earlier.pdf"), 1, "kept");
        ScriptedPrompts& prompts = run->services.prompts;
        run->files.append({"/a.pdf", "/b.pdf"});
        run->start();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.shown[0].text.startsWith("No private temporary folder can be made"));
        QCOMPARE(tool.calls(), 0);
        QCOMPARE(run->results.count(), 1);
        QCOMPARE(headersOf(run->results), (QStringList{"Filename", "Title"}));
        QVERIFY(!run->window->isBusy());
    }

    void aFifoNamedLikeAPdfNeitherBlocksNorReachesTheTool() {
        QTemporaryDir files;
        const QString fifo = files.filePath("pipe.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        FakeTool tool(run->programFolder(), FakeTool::writesDump("T", 1));
        ScriptedPrompts& prompts = run->services.prompts;
        chooseOnly({"Column1", "Column4"});
        run->files.append({fifo, "/after.pdf"});
        run->start();
        QCOMPARE(tool.calls(), 1);
        QVERIFY(tool.log().startsWith("/after.pdf "));
        QCOMPARE(run->results.count(), 2);
        QCOMPARE(cell(run->results, 1, "Title"), QStringLiteral("T"));
        // The pipe's row says it is no file; the version of the other file, which the tool
        // "read", cannot be read and is reported.
        QVERIFY(run->results.unreadReason(0).contains("pipe.pdf is not a regular file."));
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].text.startsWith("File not found: /after.pdf"));
        QVERIFY(reports[0].text.contains("in Lanthorn2021/08/31.Form1.PushButton3_Click at line "));
    }

    void progressShowsEachFilesShareAndResets() {
        FakeTool tool(run->programFolder(), QStringLiteral("exit 0"));
        run->files.append({"/d/a.pdf", "/d/b.pdf", "/d/c.pdf", "/d/d.pdf"});
        run->start();
        const auto& seen = run->progress.seen;
        const QList<QPair<QString, int>> expected = {{"Processing 1 of 4: a.pdf", 25},
                                                     {"Processing 2 of 4: b.pdf", 50},
                                                     {"Processing 3 of 4: c.pdf", 75},
                                                     {"Processing 4 of 4: d.pdf", 100}};
        for (const auto& step : expected)
            QVERIFY2(seen.contains(step), qPrintable(step.first));
        QCOMPARE(run->progress.text(), QStringLiteral("Progress Bar"));
        QCOMPARE(run->progress.value(), 0);
    }

    void theEndOfTheProgramDuringARunEndsItAndTheTool() {
        FakeTool tool(run->programFolder(), FakeTool::hangsWithChild());
        ScriptedPrompts& prompts = run->services.prompts;
        run->files.append({"/1.pdf", "/2.pdf"});
        QTimer::singleShot(600, run->window.get(), [this] { run->window->close(); });
        QElapsedTimer clock;
        clock.start();
        run->start();
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(tool.calls(), 1);
        QVERIFY(!run->window->isVisible());
        QVERIFY(tool.childPid() > 0);
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
        QVERIFY(prompts.ofKind(ScriptedPrompts::Kind::Message).isEmpty()); // no "Done."
        QVERIFY(!run->window->isBusy());
    }

private:
    std::unique_ptr<Run> run;
};

PARVILON_TEST_MAIN(ExtractionRunTest)
#include "tst_extractionrun.moc"
