#include "FolderFixtures.h"

#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/Settings.h"
#include "filelist/FolderScan.h"
#include "gui/DropIntake.h"
#include "tests/support/TestMain.h"

#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

using namespace folderfixtures;
using testsupport::ScriptedPrompts;

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        makeTree(tree.path(),
                 {"A/b.PDF", "A/a.pdf", "A/c.txt", "A/~lock.pdf", "A/.hidden.pdf", "A/Makefile",
                  "A/x/d.pdf", "A/.cache/e.pdf", "A/x/z/f.pdf", "A/y/g.Pdf"});
    }
    void init() {
        testsupport::clearSettings();
        files = std::make_unique<base::FileListModel>();
    }

    void scanAsksRemembersAndAddsTheTree() {
        QList<bool> busyAtRows;
        connect(files.get(), &QAbstractItemModel::rowsInserted, this,
                [&] { busyAtRows.append(busy.isBusy()); });
        ScriptedPrompts prompts;
        prompts.inputAnswers << "pdf"
                             << "PDF";
        prompts.folderAnswers << tree.filePath("A") << tree.filePath("A/x");
        scan();
        scan();

        // Level by level, names sorted, "~" names and hidden files left out, hidden folders
        // entered; the second scan lists x's files again.
        QCOMPARE(rowsOf(*files, tree.path()),
                 (QStringList{"/A/a.pdf", "/A/b.PDF", "/A/.cache/e.pdf", "/A/x/d.pdf", "/A/y/g.Pdf",
                              "/A/x/z/f.pdf", "/A/x/d.pdf", "/A/x/z/f.pdf"}));
        const auto inputs = prompts.ofKind(ScriptedPrompts::Kind::InputBox);
        const auto browsers = prompts.ofKind(ScriptedPrompts::Kind::BrowseFolder);
        QCOMPARE(inputs.size(), 2);
        QCOMPARE(inputs[0].text, QStringLiteral("Enter file extension to load:\r\r(* for all "
                                                "files, txt for all txt files, doc for all doc "
                                                "files, etc.)"));
        QCOMPARE(inputs[0].title, platform::applicationTitle());
        QCOMPARE(inputs[0].extra, QStringLiteral("pdf"));
        QCOMPARE(inputs[1].extra, QStringLiteral("pdf"));
        QCOMPARE(browsers.size(), 2);
        QCOMPARE(browsers[0].text, QStringLiteral("Please select folder:"));
        QCOMPARE(browsers[0].extra, QString());
        QCOMPARE(browsers[1].extra, tree.filePath("A"));
        QCOMPARE(base::readSetting("Extension", {}), QStringLiteral("PDF"));
        QCOMPARE(base::readSetting("LastFolder", {}), tree.filePath("A/x"));
        QVERIFY(prompts.errorReports().isEmpty());
        // The hourglass shows while rows come in, and goes when the scan ends.
        QVERIFY(!busyAtRows.isEmpty() && !busyAtRows.contains(false));
        QVERIFY(!busy.isBusy());
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
        ScriptedPrompts prompts;
        prompts.inputAnswers << extension;
        prompts.folderAnswers << tree.filePath("A");
        scan();
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
        ScriptedPrompts prompts;
        prompts.inputAnswers << extension;
        prompts.folderAnswers << QString();
        scan();
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::BrowseFolder).size(), browserShown ? 1 : 0);
        QCOMPARE(base::readSetting("Extension", "(none)"), storedExtension);
        QCOMPARE(base::readSetting("LastFolder", {}), QStringLiteral("/earlier"));
        QCOMPARE(files->count(), 0);
        QVERIFY(!busy.isBusy());
    }

    void theEndOfTheProgramEndsALongIntakeAtOnce_data() {
        QTest::addColumn<bool>("byDrop");
        QTest::newRow("folder scan") << false;
        QTest::newRow("folder drop") << true;
    }
    void theEndOfTheProgramEndsALongIntakeAtOnce() {
        QFETCH(bool, byDrop);
        TreeRoot large;
        QStringList entries;
        for (int folder = 0; folder < 1500; ++folder)
            entries << QStringLiteral("g%1/d%2/a.pdf").arg(folder / 50).arg(folder);
        makeTree(large.path(), entries);
        // The program ends (its window closes) at the third turn of the event loop, long
        // before 1,500 folders are read.
        int turns = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (++turns == 3)
                base::endProgram();
        });
        closer.start(0);
        QTreeView view;
        view.setModel(files.get());
        new gui::DropIntake(&view, *files);
        if (byDrop) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(large.path())});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(view.viewport(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(view.viewport(), &drop);
            QCoreApplication::processEvents();
        } else {
            ScriptedPrompts prompts;
            prompts.inputAnswers << "pdf";
            prompts.folderAnswers << large.path();
            base::runHandler([this] { scan(); });
        }
        QVERIFY(turns >= 3);
        QVERIFY(base::programIsEnding());
        QVERIFY(files->count() < entries.size());
        QVERIFY(!busy.isBusy());
        base::resetProgramEndForTesting();
    }

private:
    // The scan as "1. Add All PDF File(s) In Folder" runs it.
    void scan() { filelist::addFolderByDialog(*files, busy, errors); }

    std::unique_ptr<base::FileListModel> files;
    base::QuietBusyState busy;
    const base::ErrorReport errors{QStringLiteral("Form1.PushButton4_Click")};
    TreeRoot tree;
};

PARVILON_TEST_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
