#include "FolderFixtures.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/Settings.h"
#include "filelist/SampleFiles.h"
#include "filelist/SnapshotText.h"
#include "platform/DesktopShell.h"
#include "platform/ProgramFolder.h"
#include "tests/support/TestMain.h"

#include <QDir>

using namespace folderfixtures;
using testsupport::ScriptedPrompts;

namespace {
// Records the folders it is asked to open instead of opening a file manager.
class RecordingShell final : public platform::DesktopShell {
public:
    RecordingShell() { platform::installDesktopShell(this); }
    ~RecordingShell() override { platform::installDesktopShell(nullptr); }
    bool openFolder(const QString& folder) override {
        opened.append(folder);
        return opens;
    }
    QStringList opened;
    bool opens = true; // false: no file manager can be started
};

QStringList recordedSamples() {
    return filelist::splitSampleList(
        filelist::unscrambleSnapshot(base::readSetting("Snapshot", {})));
}

// Points the program at a folder of the test's own while alive.
struct ProgramFolderAt {
    explicit ProgramFolderAt(const QString& folder) { platform::overrideProgramFolder(folder); }
    ~ProgramFolderAt() { platform::overrideProgramFolder(QString()); }
};
} // namespace

class SampleFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    void snapshotComesBackUnchanged_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("two") << QStringList{"/opt/p/Samples/a.pdf", "/opt/p/Samples/b.pdf"};
        QTest::newRow("non-ASCII") << QStringList{"/home/zoë/报告/Samples/Résumé.pdf"};
        QTest::newRow("separator and escape characters in names")
            << QStringList{"/opt/odd|name%7C/Samples/a|b.pdf", "/x/100%25/%.pdf", "/y/|"};
    }
    void snapshotComesBackUnchanged() {
        QFETCH(QStringList, paths);
        const QString joined = filelist::joinSampleList(paths);
        const QString stored = filelist::scrambleSnapshot(joined);
        QCOMPARE(filelist::splitSampleList(filelist::unscrambleSnapshot(stored)), paths);
        QCOMPARE(stored.isEmpty(), paths.isEmpty());
        QVERIFY(paths.isEmpty() || !stored.contains("Samples"));
        if (paths.size() == 2) // plain paths are simply joined with "|"
            QCOMPARE(joined, paths.join('|'));
        // A value this program did not write gives no samples.
        QCOMPARE(filelist::unscrambleSnapshot("not base64 at all!"), QString());
    }

    void samplesAreRecordedInNameOrder() {
        testsupport::ProgramFolder folder;
        const QString samples = folder.path() + "/Samples/";
        filelist::recordSampleFiles();
        QCOMPARE(base::readSetting("Snapshot", "(none)"), QString()); // no samples folder yet
        folder.writeFile("Samples/b.pdf", "%PDF-1.4");
        folder.writeFile("Samples/a.pdf", "%PDF-1.7");
        filelist::recordSampleFiles();
        QCOMPARE(recordedSamples(), (QStringList{samples + "a.pdf", samples + "b.pdf"}));
    }

    void loadingAddsEachSampleOnceAndAlwaysAsks() {
        RecordingShell shell;
        TreeRoot root;
        // "|" and "%" are allowed in a Linux folder name, also the program folder's.
        const QString folder = root.filePath("odd|name%7C");
        const QString samples = folder + "/Samples/";
        makeTree(folder, {"Samples/a.pdf", "Samples/b.pdf", "Samples/c.pdf", "Samples/d.pdf"});
        ProgramFolderAt programFolder(folder);
        filelist::recordSampleFiles();
        base::FileListModel files;
        // Already listed with the same text, and with different letter case.
        files.append({samples + "b.pdf", folder + "/SAMPLES/a.pdf"});
        QFile::remove(samples + "c.pdf");

        ScriptedPrompts prompts;
        prompts.yesNoAnswers << false << true;
        filelist::loadSampleFiles(files);
        filelist::loadSampleFiles(files);
        QCOMPARE(rowsOf(files), (QStringList{samples + "b.pdf", folder + "/SAMPLES/a.pdf",
                                             samples + "a.pdf", samples + "d.pdf"}));
        const auto asked = prompts.ofKind(ScriptedPrompts::Kind::YesNo);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text,
                 QStringLiteral("Would you like this software to open the folder where these "
                                "sample files are stored (so that you can view them before "
                                "working with them)?"));
        QCOMPARE(asked[0].title, platform::applicationTitle());
        QCOMPARE(shell.opened, QStringList{samples}); // only after Yes
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void aFolderThatCannotBeOpenedIsReported() {
        RecordingShell shell;
        shell.opens = false;
        TreeRoot root;
        makeTree(root.path(), {"Samples/a.pdf"});
        ProgramFolderAt programFolder(root.path());
        filelist::recordSampleFiles();
        base::FileListModel files;
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << true;
        base::ErrorReport(QStringLiteral("Form1.PushButton9_Click")).step([&] {
            filelist::loadSampleFiles(files);
        });
        QCOMPARE(files.count(), 1); // the samples are added all the same
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].text.startsWith(
                     QStringLiteral(
                         "The folder %1 could not be opened: no file manager could be started.\r\n"
                         "in Lanthorn2021/08/31.Form1.PushButton9_Click at line ")
                         .arg(root.path() + "/Samples/")),
                 qPrintable(reports[0].text));
    }

    void afterTheProgramFolderMovedNothingIsAddedButTheQuestionComes() {
        RecordingShell shell;
        TreeRoot root;
        makeTree(root.path(), {"old/Samples/a.pdf"});
        {
            ProgramFolderAt programFolder(root.filePath("old"));
            filelist::recordSampleFiles();
        }
        QVERIFY(QDir().rename(root.filePath("old"), root.filePath("new")));
        ProgramFolderAt programFolder(root.filePath("new"));
        base::FileListModel files;
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << true;
        filelist::loadSampleFiles(files);
        QCOMPARE(files.count(), 0);
        QCOMPARE(shell.opened, QStringList{root.filePath("new") + "/Samples/"});
    }
};

PARVILON_TEST_MAIN(SampleFilesTest)
#include "tst_samplefiles.moc"
