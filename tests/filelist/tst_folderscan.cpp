#include "FolderFixtures.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/Settings.h"
#include "filelist/DroppedPaths.h"
#include "filelist/FolderScan.h"
#include "filelist/FolderTree.h"
#include "tests/support/TestMain.h"

#include <QSignalSpy>

using namespace folderfixtures;
using testsupport::ScriptedPrompts;

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        makeTree(tree.path(),
                 {"A/b.PDF", "A/a.pdf", "A/c.txt", "A/~lock.pdf", "A/.hidden.pdf", "A/Makefile",
                  "A/x/d.pdf", "A/.cache/e.pdf", "A/x/z/f.pdf", "A/y/g.Pdf"});
        QStringList entries;
        for (int folder = 0; folder < largeTreeFolders; ++folder)
            entries << QStringLiteral("g%1/d%2/a.pdf").arg(folder / 50).arg(folder);
        makeTree(large.path(), entries);
    }
    void init() {
        testsupport::clearSettings();
        files = std::make_unique<base::FileListModel>();
        prompts = std::make_unique<ScriptedPrompts>();
    }

    void scanAsksRemembersAndAddsTheTree() {
        prompts->inputAnswers << "pdf"
                              << "PDF";
        prompts->folderAnswers << tree.filePath("A") << tree.filePath("A/x");
        QVERIFY(scan());
        QVERIFY(scan());

        // Level by level, names sorted, "~" names and hidden files left out, hidden folders
        // entered; the second scan lists x's files again.
        QCOMPARE(rowsOf(*files, tree.path()),
                 (QStringList{"/A/a.pdf", "/A/b.PDF", "/A/.cache/e.pdf", "/A/x/d.pdf", "/A/y/g.Pdf",
                              "/A/x/z/f.pdf", "/A/x/d.pdf", "/A/x/z/f.pdf"}));
        const auto inputs = prompts->ofKind(ScriptedPrompts::Kind::InputBox);
        const auto browsers = prompts->ofKind(ScriptedPrompts::Kind::BrowseFolder);
        QCOMPARE(inputs.size(), 2);
        QCOMPARE(inputs[0].text, QStringLiteral("Enter file extension to load:\r\r(* for all "
                                                "files, txt for all txt files, doc for all doc "
                                                "files, etc.)"));
        QCOMPARE(inputs[0].title, prompts->applicationTitle());
        QCOMPARE(inputs[0].extra, QStringLiteral("pdf"));
        QCOMPARE(inputs[1].extra, QStringLiteral("pdf"));
        QCOMPARE(browsers.size(), 2);
        QCOMPARE(browsers[0].text, QStringLiteral("Please select folder:"));
        QCOMPARE(browsers[0].extra, QString());
        QCOMPARE(browsers[1].extra, tree.filePath("A"));
        QCOMPARE(base::readSetting("Extension", {}), QStringLiteral("PDF"));
        QCOMPARE(base::readSetting("LastFolder", {}), tree.filePath("A/x"));
        QVERIFY(prompts->errorReports().isEmpty());
    }

    void extensionChoosesTheFiles_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("star takes every file")
            << "*" << QStringList{"/a.pdf",        "/b.PDF",   "/c.txt",   "/Makefile",
                                  "/.cache/e.pdf", "/x/d.pdf", "/y/g.Pdf", "/x/z/f.pdf"};
        QTest::newRow("txt") << "txt" << QStringList{"/c.txt"};
        QTest::newRow("kept as typed, leading dot included") << ".pdf" << QStringList{};
    }
    void extensionChoosesTheFiles() {
        QFETCH(QString, extension);
        QFETCH(QStringList, rows);
        prompts->inputAnswers << extension;
        prompts->folderAnswers << tree.filePath("A");
        QVERIFY(scan());
        QCOMPARE(rowsOf(*files, tree.filePath("A")), rows);
        QCOMPARE(base::readSetting("Extension", {}), extension);
    }

    void cancelling_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("browserShown");
        QTest::addColumn<QString>("storedExtension");
        QTest::newRow("at the extension prompt") << "" << false << "(none)";
        QTest::newRow("at the folder browser") << "txt" << true << "txt";
    }
    void cancelling() {
        QFETCH(QString, extension);
        QFETCH(bool, browserShown);
        QFETCH(QString, storedExtension);
        base::writeSetting("LastFolder", "/earlier");
        prompts->inputAnswers << extension;
        prompts->folderAnswers << QString();
        QVERIFY(!filelist::askWhatToScan(*prompts, errors()));
        QCOMPARE(prompts->ofKind(ScriptedPrompts::Kind::BrowseFolder).size(), browserShown ? 1 : 0);
        QCOMPARE(base::readSetting("Extension", "(none)"), storedExtension);
        QCOMPARE(base::readSetting("LastFolder", {}), QStringLiteral("/earlier"));
        QCOMPARE(prompts->unexpected, 0);
    }

    // A long folder scan or folder drop ended midway, by stop() or by going away (the window
    // closing): its thread is gone at once, and no row comes after.
    void aLongIntakeEndedMidwayLeavesNothingRunning_data() {
        QTest::addColumn<bool>("byDrop");
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("folder scan stopped") << false << false;
        QTest::newRow("folder scan destroyed") << false << true;
        QTest::newRow("folder drop stopped") << true << false;
        QTest::newRow("folder drop destroyed") << true << true;
    }
    void aLongIntakeEndedMidwayLeavesNothingRunning() {
        QFETCH(bool, byDrop);
        QFETCH(bool, destroyed);
        const int threadsBefore = threadCount();
        std::unique_ptr<filelist::FolderTreeScan> walk;
        std::unique_ptr<filelist::DroppedPathsIntake> drops;
        const QString waitingFile = tree.filePath("A/a.pdf");
        if (byDrop) {
            drops = std::make_unique<filelist::DroppedPathsIntake>(*files, errors());
            drops->add({large.path(), waitingFile}); // the file waits for the folder
            QVERIFY(drops->isBusy());
        } else {
            walk = std::make_unique<filelist::FolderTreeScan>(large.path(), "*.pdf", errors());
            connect(walk.get(), &filelist::FolderTreeScan::rowsFound, files.get(),
                    &base::FileListModel::append);
            walk->start();
        }
        QCOMPARE(threadCount(), threadsBefore + 1); // the walk's own thread

        if (destroyed) {
            walk.reset();
            drops.reset();
        } else if (walk) {
            QSignalSpy finished(walk.get(), &filelist::FolderTreeScan::finished);
            walk->stop();
            // The rows found before the stop may still come, and then the end.
            QVERIFY(finished.wait(5000));
        } else {
            drops->stop();
            QVERIFY(!drops->isBusy());
        }
        // Gone at once, not left to end by itself.
        QVERIFY(threadsAreBackTo(threadsBefore));
        const QStringList rows = files->paths();
        QTest::qWait(400); // longer than the walk waits between two batches of rows
        QCOMPARE(files->paths(), rows);
        QVERIFY(rows.size() < largeTreeFolders);
        QVERIFY(!rows.contains(waitingFile));

        if (drops) {
            // A stopped intake takes the next drop as usual.
            drops->add({waitingFile});
            QCOMPARE(files->paths(), rows + QStringList{waitingFile});
            QVERIFY(!drops->isBusy());
        }
        QVERIFY(prompts->errorReports().isEmpty());
    }

private:
    base::ErrorReport errors() const {
        return base::ErrorReport(*prompts, QStringLiteral("Form1.PushButton4_Click"));
    }

    // The scan as "1. Add All PDF File(s) In Folder" runs it: the questions, then the walk in
    // its thread, its rows going into the list from the event loop until it has finished.
    // False when the questions were cancelled or the scan did not finish.
    bool scan() {
        const std::optional<filelist::FolderScanRequest> request =
            filelist::askWhatToScan(*prompts, errors());
        if (!request)
            return false;
        filelist::FolderTreeScan walk(request->folder, request->pattern, errors());
        bool ended = false;
        bool rowsAfterTheEnd = false;
        connect(&walk, &filelist::FolderTreeScan::rowsFound, this, [&](const QStringList& rows) {
            rowsAfterTheEnd = rowsAfterTheEnd || ended;
            files->append(rows);
        });
        QSignalSpy finished(&walk, &filelist::FolderTreeScan::finished);
        walk.start();
        if (!finished.wait(10000))
            return false;
        ended = true;
        QCoreApplication::processEvents();
        return finished.count() == 1 && !rowsAfterTheEnd;
    }

    static constexpr int largeTreeFolders = 1500;
    std::unique_ptr<base::FileListModel> files;
    std::unique_ptr<ScriptedPrompts> prompts;
    TreeRoot tree;
    TreeRoot large;
};

PARVILON_TEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
