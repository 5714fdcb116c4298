#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/CsvText.h"
#include "output/TextSave.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TestMain.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::fileBytes;
using testsupport::results;
using testsupport::ScriptedPrompts;

namespace {

// A buffer that takes `limit` bytes and refuses every write that would go beyond, as a full
// disk does.
class FailDevice final : public QBuffer {
public:
    explicit FailDevice(qint64 bytes) : limit(bytes) {}
    int refusals = 0;

protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (pos() + length > limit) {
            ++refusals;
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, length);
    }

private:
    qint64 limit;
};

bool save(const base::ResultsSnapshot& table, const QString& path, base::Progress* progress) {
    return output::saveResultsText(table, path, output::TextForm::Aligned, progress);
}

// Runs the current test function and data row again in a process of the user nobody, and
// fails when it fails there.
void rerunAsNobody() {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("running as root and without setpriv: no way to drop to an unprivileged user");
    const QString test = QStringLiteral("%1:%2").arg(QLatin1String(QTest::currentTestFunction()),
                                                     QLatin1String(QTest::currentDataTag()));
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                          QCoreApplication::applicationFilePath(), test});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    if (child.exitCode() == 126 || child.exitCode() == 127)
        QSKIP(qPrintable("the user nobody cannot run the test binary here: " + output));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             output.constData());
    // The row really ran there, and passed.
    QVERIFY2(
        output.contains("PASS   : TextSaveTest::" + QByteArray(QTest::currentTestFunction())) &&
            output.contains(" 0 failed, 0 skipped"),
        output.constData());
}

} // namespace

class TextSaveTest : public QObject {
    Q_OBJECT
private slots:
    void alignedTextByteForByte_data() {
        QTest::addColumn<base::ResultsSnapshot>("table");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("the two-column example")
            << results({"Filename", "Producer"}, {{"C:\\a.pdf", "X"}})
            << QByteArray("Filename\tProducer\t\r\nC:\\a.pdf\tX       \t\r\n");
        QTest::newRow("no headers before the first run") << results({}, {}) << QByteArray("\r\n");
        QTest::newRow("rows cleared: the header line only")
            << results({"Filename", "Title"}, {}) << QByteArray("Filename\tTitle\t\r\n");
        QTest::newRow("unticked rows count in the widths only")
            << results({"Filename", "Title"}, {{"/a.pdf", "T"}, {"/a-much-longer-name.pdf", "x"}},
                       {1})
            << QByteArray("Filename" + QByteArray(15, ' ') + "\tTitle\t\r\n/a.pdf" +
                          QByteArray(17, ' ') + "\tT    \t\r\n");
        QTest::newRow("nothing ticked")
            << results({"Filename"}, {{"/a.pdf"}}, {0}) << QByteArray("Filename\t\r\n");
        QTest::newRow("a long cell widens its column and the header")
            << results({"Filename", "Title"}, {{"/a", "A rather long title"}, {"/b", ""}})
            << QByteArray("Filename\tTitle              \t\r\n/a      \tA rather long title\t\r\n"
                          "/b      \t                   \t\r\n");
        QTest::newRow("non-ASCII counted in characters, written as UTF-8")
            << results({"Filename", "Author"}, {{"/Zoë.pdf", "中文"}, {"/b.pdf", "Ann"}})
            << QByteArray(
                   "Filename\tAuthor\t\r\n/Zo\xc3\xab.pdf\t\xe4\xb8\xad\xe6\x96\x87    \t\r\n"
                   "/b.pdf  \tAnn   \t\r\n");
        QTest::newRow("controls in a name or value show as blanks")
            << results({"Filename", "Title"}, {{"/a\tb\nc.pdf", "x\ty"}})
            << QByteArray("Filename  \tTitle\t\r\n/a b c.pdf\tx y  \t\r\n");
    }
    void alignedTextByteForByte() {
        QFETCH(base::ResultsSnapshot, table);
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QVERIFY(save(table, path, nullptr));
        QCOMPARE(fileBytes(path), bytes);
    }

    void anExistingFileIsReplacedWithoutAQuestion() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results"); // no extension: kept as typed
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o'));
        old.close();
        ScriptedPrompts prompts;
        QVERIFY(save(results({"Filename"}, {{"/a"}}), path, nullptr));
        QCOMPARE(fileBytes(path), QByteArray("Filename\t\r\n/a      \t\r\n"));
        QVERIFY(prompts.shown.isEmpty());
    }

    void aSaveThatCannotStartIsReportedOnce() {
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        testsupport::RecordingProgress bar;
        const auto table = results({"Filename", "Title"}, {{"/a", "1"}, {"/b", "2"}, {"/c", "3"}});
        QVERIFY(!save(table, folder.filePath("no/such/folder/x.txt"), &bar));
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(
            "\r\nin Lanthorn2021/08/31.Main.SaveListviewProperlySpaced at line "));
        QCOMPARE(bar.text(), QStringLiteral("Progress Bar"));
        QCOMPARE(bar.value(), 0);
    }

    // A file-size limit makes the disk "full" after 8 KB, for root as for anyone. A small
    // text waits in the file's buffer and fails only in its final flush; a large one fails
    // midway. Either way the old file stays whole and no partial file is left beside it.
    void aSaveThatRunsOutOfRoomLeavesTheOldFileIntact_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("fails in the final flush") << 120;
        QTest::newRow("fails midway") << 2000;
    }
    void aSaveThatRunsOutOfRoomLeavesTheOldFileIntact() {
        QFETCH(int, rows);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        base::ResultsSnapshot big;
        big.headers = {"Filename", "Title"};
        for (int i = 0; i < rows; ++i)
            big.appendRow({QStringLiteral("/docs/file %1.pdf").arg(i), QString(60, 'x')});

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        ScriptedPrompts prompts;
        const bool saved = save(big, path, nullptr);
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!saved);
        QCOMPARE(prompts.errorReports().size(), 1);
        const QString report = prompts.errorReports()[0].text;
        QVERIFY2(report.startsWith(path + " could not be written completely: File too large\r\n"),
                 qPrintable(report));
        QCOMPARE(fileBytes(path), QByteArray("the earlier results\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"results.txt"});
    }

    // In a folder we may write, the new file takes the old one's place when complete (a new
    // inode); in one we may not, a file we may write is written in place; with neither, the
    // save is refused and the old text stays. Root may write anything, so as root this test
    // runs itself again as the unprivileged user nobody.
    void savesAsAnUnprivilegedUser_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("sameInode");
        QTest::newRow("writable folder: replaced whole") << true << true << true << false;
        QTest::newRow("read-only folder: written in place") << false << true << true << true;
        QTest::newRow("read-only folder and file: refused") << false << false << false << true;
    }
    void savesAsAnUnprivilegedUser() {
        if (::geteuid() == 0) {
            rerunAsNobody();
            return;
        }
        QFETCH(bool, folderWritable);
        QFETCH(bool, fileWritable);
        QFETCH(bool, saved);
        QFETCH(bool, sameInode);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        const auto inodeOf = [&] {
            struct stat status {};
            ::stat(QFile::encodeName(path).constData(), &status);
            return status.st_ino;
        };
        const auto before = inodeOf();
        const auto owner = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
        QFile::setPermissions(path, fileWritable ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 : QFileDevice::ReadOwner);
        if (!folderWritable)
            QFile::setPermissions(folder.path(), owner);
        const auto restore = qScopeGuard(
            [&] { QFile::setPermissions(folder.path(), owner | QFileDevice::WriteOwner); });

        ScriptedPrompts prompts;
        QCOMPARE(save(results({"Filename"}, {{"/a"}}), path, nullptr), saved);
        QCOMPARE(fileBytes(path), saved ? QByteArray("Filename\t\r\n/a      \t\r\n")
                                        : QByteArray("the earlier results\r\n"));
        QCOMPARE(prompts.errorReports().size(), saved ? 0 : 1);
        QCOMPARE(inodeOf() == before, sameInode);
    }

    void progressNamesTheFileAndCountsThousands() {
        QTemporaryDir folder;
        base::ResultsSnapshot table;
        table.headers = {"Filename"};
        for (int i = 0; i < 2500; ++i)
            table.appendRow({QStringLiteral("/f%1").arg(i)});
        testsupport::RecordingProgress bar;
        QVERIFY(save(table, folder.filePath("r.txt"), &bar));
        const QStringList& texts = bar.texts;
        QVERIFY(texts.contains("Writing file: r.txt"));
        QVERIFY(texts.contains("Writing file: r.txt (1000)"));
        QVERIFY(texts.contains("Writing file: r.txt (2000)"));
        QVERIFY(!texts.contains("Writing file: r.txt (2500)"));
        QCOMPARE(texts.mid(texts.size() - 2), (QStringList{"Done.", "Progress Bar"}));
    }

    void progressValuesOfLargeTables() {
        QCOMPARE(output::rowProgress(1, 10), 10);
        QCOMPARE(output::rowProgress(10, 10), 100);
        QCOMPARE(output::rowProgress(1, 4000), 0);
        QCOMPARE(output::rowProgress(3998, 4000), 100);
        QCOMPARE(output::rowProgress(4000, 4000), 100); // 100.05: drawn as full
        QCOMPARE(output::rowProgress(10000, 10000), 100);
        QCOMPARE(output::rowProgress(1, 0), 0);
    }

    // "4. Save Results As Text File": a name is asked for (text or CSV), and the ticked rows
    // are written in the form the name asks for.
    void theButtonAsksForANameAndSavesTheTickedRows() {
        base::ResultsModel table;
        table.setHeaders({"Filename", "Title"});
        table.setCell(table.appendRow("/a.pdf"), 1, "Alpha, \"the first\"");
        table.setCell(table.appendRow("/b.pdf"), 1, "Beta");
        table.setTicked(0, true);
        base::SilentProgress progress;
        base::QuietBusyState busy;
        const base::ErrorReport errors(QStringLiteral("Form1.PushButton1_Click"));
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        prompts.saveFileAnswers << folder.filePath("out.txt") << folder.filePath("out.CSV")
                                << QString();
        for (int save = 0; save < 3; ++save)
            output::saveResultsByDialog(table, {}, progress, busy, errors);
        const auto dialogs = prompts.ofKind(ScriptedPrompts::Kind::SaveFile);
        QCOMPARE(dialogs.size(), 3);
        QCOMPARE(dialogs[0].text, QStringLiteral("Save"));
        QCOMPARE(dialogs[0].extra,
                 QStringLiteral("Text Files (*.txt);;CSV Files (*.csv);;All Files (*)"));
        QCOMPARE(
            fileBytes(folder.filePath("out.txt")),
            QByteArray("Filename\tTitle             \t\r\n/a.pdf  \tAlpha, \"the first\"\t\r\n"));
        QCOMPARE(fileBytes(folder.filePath("out.CSV")),
                 QByteArray("Filename,Title\r\n/a.pdf,\"Alpha, \"\"the first\"\"\"\r\n"));
        QVERIFY(!busy.isBusy());
        // The last one was cancelled: nothing written, nothing said.
        QCOMPARE(prompts.shown.size(), 3);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    }

    // A name that is one of the files read (a row of the results) or to be read (the file
    // list), under any name, is refused, and the file kept.
    void aSaveOverAFileBeingReadIsRefused() {
        QTemporaryDir folder;
        const QString read = folder.filePath("read.pdf");
        const QString listed = folder.filePath("listed.pdf");
        for (const QString& path : {read, listed}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") == 9);
        }
        QVERIFY(QFile::link(read, folder.filePath("link.txt")));
        base::ResultsModel table;
        table.setHeaders({"Filename"});
        table.appendRow(read);
        table.tickAll();
        base::SilentProgress progress;
        base::QuietBusyState busy;
        ScriptedPrompts prompts;
        prompts.saveFileAnswers << folder.filePath("link.txt") << listed;
        for (int save = 0; save < 2; ++save)
            output::saveResultsByDialog(
                table, {listed}, progress, busy,
                base::ErrorReport(QStringLiteral("Form1.PushButton1_Click")));
        const auto refusals = prompts.ofKind(ScriptedPrompts::Kind::Message);
        QCOMPARE(refusals.size(), 2);
        QVERIFY(refusals[0].text.contains("is one of the PDF files being read (" + read + ")"));
        QVERIFY(refusals[1].text.contains("(" + listed + ")"));
        QCOMPARE(fileBytes(read), QByteArray("%PDF-1.4\n"));
        QCOMPARE(fileBytes(listed), QByteArray("%PDF-1.4\n"));
    }

    void csvFieldsAreQuotedOnlyWhenTheyMustBe_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"/a.pdf", "Title", ""} << "/a.pdf,Title,";
        QTest::newRow("comma") << QStringList{"a,b"} << "\"a,b\"";
        QTest::newRow("quotes doubled") << QStringList{"say \"hi\""} << "\"say \"\"hi\"\"\"";
        QTest::newRow("line breaks") << QStringList{"x\ny", "x\ry"} << "\"x\ny\",\"x\ry\"";
        QTest::newRow("blanks and tabs stay bare") << QStringList{" a\tb "} << " a\tb ";
    }
    void csvFieldsAreQuotedOnlyWhenTheyMustBe() {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QCOMPARE(output::csvLine(fields), line);
    }

    void csvKeepsNamesExactly() {
        QTemporaryDir folder;
        const QString path = folder.filePath("r.csv");
        QVERIFY(output::saveResultsText(results({"Filename"}, {{"/a\tb\nc.pdf"}}), path,
                                        output::TextForm::Csv, nullptr));
        QCOMPARE(fileBytes(path), QByteArray("Filename\r\n\"/a\tb\nc.pdf\"\r\n"));
    }

    // Every write is checked: the first one the device refuses ends the text with the
    // device's reason, and nothing more is written after it.
    void aRefusedWriteEndsTheText_data() {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qsizetype>("kept");
        // Every line is 11 bytes: "Filename\t\r\n", "/f1     \t\r\n" and so on.
        QTest::newRow("refused at once") << qint64(0) << qsizetype(0);
        QTest::newRow("after the header") << qint64(11) << qsizetype(11);
        QTest::newRow("inside the third line") << qint64(30) << qsizetype(22);
    }
    void aRefusedWriteEndsTheText() {
        QFETCH(qint64, limit);
        QFETCH(qsizetype, kept);
        FailDevice device(limit);
        QVERIFY(device.open(QIODevice::WriteOnly));
        base::ResultsSnapshot table;
        table.headers = {"Filename"};
        for (int i = 1; i <= 5; ++i)
            table.appendRow({QStringLiteral("/f%1").arg(i)});
        try {
            output::writeResultsText(table, device, output::TextForm::Aligned, nullptr, "x");
            QFAIL("a refused write went unnoticed");
        } catch (const base::RunTimeError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("The results could not be written: No space left on device"));
        }
        QCOMPARE(device.data().size(), kept);
        QCOMPARE(device.refusals, 1);
    }

    // The save reads a snapshot: rows cleared meanwhile are still written.
    void rowsClearedDuringASaveDoNotHarmIt() {
        base::ResultsModel table;
        table.setHeaders({"Filename", "Title"});
        for (int i = 0; i < 20000; ++i)
            table.setCell(table.appendRow(QStringLiteral("/d/%1.pdf").arg(i)), 1, "T");
        table.tickAll();
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        prompts.saveFileAnswers << folder.filePath("r.txt");
        bool cleared = false;
        QTimer::singleShot(0, [&] {
            table.clearRows();
            cleared = true;
        });
        base::SilentProgress progress;
        base::QuietBusyState busy;
        output::saveResultsByDialog(table, {}, progress, busy,
                                    base::ErrorReport(QStringLiteral("Form1.PushButton1_Click")));
        QVERIFY(cleared);
        const QByteArray written = fileBytes(folder.filePath("r.txt"));
        QVERIFY(written.startsWith("Filename"));
        QCOMPARE(written.count("\r\n"), 20001);
        QVERIFY(prompts.errorReports().isEmpty());
    }
};

PARVILON_TEST_MAIN(TextSaveTest)
#include "tst_textsave.moc"
