#include "app/BusyState.h"
#include "output/AlignedText.h"
#include "output/ResultsTable.h"
#include "output/TextSave.h"
#include "platform/TextProgressBar.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

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

using output::SaveListviewProperlySpaced;
using testsupport::fileBytes;
using testsupport::results;
using testsupport::ScriptedPrompts;

namespace {

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
        QTest::addColumn<output::TableSnapshot>("table");
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
    }
    void alignedTextByteForByte() {
        QFETCH(output::TableSnapshot, table);
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QVERIFY(SaveListviewProperlySpaced(table, path, nullptr));
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
        QVERIFY(SaveListviewProperlySpaced(results({"Filename"}, {{"/a"}}), path, nullptr));
        QCOMPARE(fileBytes(path), QByteArray("Filename\t\r\n/a      \t\r\n"));
        QVERIFY(prompts.shown.isEmpty());
    }

    void aSaveThatCannotStartIsReportedOnce() {
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        platform::TextProgressBar bar;
        const auto table = results({"Filename", "Title"}, {{"/a", "1"}, {"/b", "2"}, {"/c", "3"}});
        QVERIFY(!SaveListviewProperlySpaced(table, folder.filePath("no/such/folder/x.txt"), &bar));
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(
            "\r\nin Lanthorn2021/08/31.Main.SaveListviewProperlySpaced at line "));
        QCOMPARE(bar.text(), QStringLiteral("Progress Bar"));
        QCOMPARE(bar.rawValue(), 0);
    }

    void aSaveThatFailsMidwayLeavesTheOldFileIntact() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        output::TableSnapshot big;
        big.headers = {"Filename", "Title"};
        for (int i = 0; i < 2000; ++i)
            big.appendRow({QStringLiteral("/docs/file %1.pdf").arg(i), QString(60, 'x')});

        // A file-size limit makes the disk "full" after 8 KB, for root as for anyone.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        ScriptedPrompts prompts;
        const bool saved = SaveListviewProperlySpaced(big, path, nullptr);
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!saved);
        QCOMPARE(prompts.errorReports().size(), 1);
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
        QCOMPARE(SaveListviewProperlySpaced(results({"Filename"}, {{"/a"}}), path, nullptr), saved);
        QCOMPARE(fileBytes(path), saved ? QByteArray("Filename\t\r\n/a      \t\r\n")
                                        : QByteArray("the earlier results\r\n"));
        QCOMPARE(prompts.errorReports().size(), saved ? 0 : 1);
        QCOMPARE(inodeOf() == before, sameInode);
    }

    void progressNamesTheFileAndCountsThousands() {
        QTemporaryDir folder;
        output::TableSnapshot table;
        table.headers = {"Filename"};
        for (int i = 0; i < 2500; ++i)
            table.appendRow({QStringLiteral("/f%1").arg(i)});
        platform::TextProgressBar bar;
        QStringList texts;
        connect(&bar, &platform::TextProgressBar::textChanged,
                [&](const QString& text) { texts.append(text); });
        QVERIFY(SaveListviewProperlySpaced(table, folder.filePath("r.txt"), &bar));
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

    void theButtonAsksForANameAndSavesTheTickedRows() {
        auto window = testsupport::makeMainWindow();
        output::setHeaders(window->ListView2, {"Filename", "Title"});
        output::ResultRow::append(window->ListView2, "/a.pdf").setCell(1, "Alpha");
        output::ResultRow::append(window->ListView2, "/b.pdf").setCell(1, "Beta");
        window->ListView2->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        prompts.saveFileAnswers.enqueue(folder.filePath("out.txt"));
        QTest::mouseClick(window->PushButton1, Qt::LeftButton);
        const auto dialogs = prompts.ofKind(ScriptedPrompts::Kind::SaveFile);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, QStringLiteral("Save"));
        QCOMPARE(dialogs[0].extra, QStringLiteral("Text Files (*.txt);;All Files (*)"));
        QCOMPARE(fileBytes(folder.filePath("out.txt")),
                 QByteArray("Filename\tTitle\t\r\n/a.pdf  \tAlpha\t\r\n"));
        QVERIFY(!app::isBusy(window.get()));
        // Cancelled: nothing written, nothing said.
        prompts.saveFileAnswers.enqueue(QString());
        QTest::mouseClick(window->PushButton1, Qt::LeftButton);
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"out.txt"});
    }

    void rowsClearedDuringASaveDoNotHarmIt() {
        auto window = testsupport::makeMainWindow();
        window->show();
        output::setHeaders(window->ListView2, {"Filename", "Title"});
        for (int i = 0; i < 20000; ++i)
            output::ResultRow::append(window->ListView2, QStringLiteral("/d/%1.pdf").arg(i))
                .setCell(1, "T");
        output::tickAllRows(window->ListView2);
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        bool cleared = false;
        QTimer::singleShot(0, window.get(), [&] {
            QTest::mouseClick(window->PushButton5, Qt::LeftButton);
            cleared = true;
        });
        QVERIFY(SaveListviewProperlySpaced(output::readResults(window->ListView2),
                                           folder.filePath("r.txt"), window->ProgressBar1));
        QVERIFY(cleared);
        const QByteArray written = fileBytes(folder.filePath("r.txt"));
        QVERIFY(written.startsWith("Filename"));
        QVERIFY(written.count("\r\n") < 20001);
        QVERIFY(prompts.errorReports().isEmpty());
    }
};

PARVILON_TEST_MAIN(TextSaveTest)
#include "tst_textsave.moc"
