#include "FolderFixtures.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "base/Settings.h"
#include "filelist/SampleFiles.h"
#include "filelist/SnapshotText.h"
#include "tests/support/TestMain.h"

#include <QDir>

using namespace folderfixtures;
using testsupport::ScriptedPrompts;
using testsupport::TestServices;

namespace {
QStringList recordedSamples() {
    return filelist::splitSampleList(
        filelist::unscrambleSnapshot(base::readSetting("Snapshot", {})));
}
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
        testsupport::TestFolders folders;
        const QString samples = folders.programFolder() + "/Samples/";
        filelist::recordSampleFiles(folders);
        QCOMPARE(base::readSetting("Snapshot", "(none)"), QString()); // no samples folder yet
        folders.writeFile("Samples/b.pdf", "%PDF-1.4");
        folders.writeFile("Samples/a.pdf", "%PDF-1.7");
        filelist::recordSampleFiles(folders);
        QCOMPARE(recordedSamples(), (QStringList{samples + "a.pdf", samples + "b.pdf"}));
    }

    void loadingAddsEachSampleOnceAndAlwaysAsks() {
        TreeRoot root;
        // "|" and "%" are allowed in a Linux folder name, also the program folder's.
        const QString folder = root.filePath("odd|name%7C");
        const QString samples = folder + "/Samples/";
        makeTree(folder, {"Samples/a.pdf", "Samples/b.pdf", "Samples/c.pdf", "Samples/d.pdf"});
        TestServices services(folder);
        filelist::recordSampleFiles(services.folders);
        base::FileListModel files;
        // Already listed with the same text, and with different letter case.
        files.append({samples + "b.pdf", folder + "/SAMPLES/a.pdf"});
        QFile::remove(samples + "c.pdf");

        ScriptedPrompts& prompts = services.prompts;
        prompts.yesNoAnswers << false << true;
        filelist::loadSampleFiles(files, services.services());
        filelist::loadSampleFiles(files, services.services());
        QCOMPARE(rowsOf(files), (QStringList{samples + "b.pdf", folder + "/SAMPLES/a.pdf",
                                             samples + "a.pdf", samples + "d.pdf"}));
        const auto asked = prompts.ofKind(ScriptedPrompts::Kind::YesNo);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text,
                 QStringLiteral("Would you like this software to open the folder where these "
                                "sample files are stored (so that you can view them before "
                                "working with them)?"));
        QCOMPARE(asked[0].title, prompts.applicationTitle());
        QCOMPARE(services.shell.opened, QStringList{samples}); // only after Yes
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void aFolderThatCannotBeOpenedIsReported() {
        TreeRoot root;
        makeTree(root.path(), {"Samples/a.pdf"});
        TestServices services(root.path());
        services.shell.canOpen = false;
        filelist::recordSampleFiles(services.folders);
        base::FileListModel files;
        services.prompts.yesNoAnswers << true;
        base::ErrorReport(services.prompts, QStringLiteral("Form1.PushButton9_Click")).step([&] {
            filelist::loadSampleFiles(files, services.services());
        });
        QCOMPARE(files.count(), 1); // the samples are added all the same
        const auto reports = services.prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].text.startsWith(
                     QStringLiteral(
                         "The folder %1 could not be opened: no file manager could be started.\r\n"
                         "in Lanthorn2021/08/31.Form1.PushButton9_Click at line ")
                         .arg(root.path() + "/Samples/")),
                 qPrintable(reports[0].text));
    }

    void afterTheProgramFolderMovedNothingIsAddedButTheQuestionComes() {
        TreeRoot root;
        makeTree(root.path(), {"old/Samples/a.pdf"});
        filelist::recordSampleFiles(testsupport::TestFolders(root.filePath("old")));
        QVERIFY(QDir().rename(root.filePath("old"), root.filePath("new")));
        TestServices services(root.filePath("new"));
        base::FileListModel files;
        services.prompts.yesNoAnswers << true;
        filelist::loadSampleFiles(files, services.services());
        QCOMPARE(files.count(), 0);
        QCOMPARE(services.shell.opened, QStringList{root.filePath("new") + "/Samples/"});
    }
};

PARVILON_TEST_MAIN(SampleFilesTest)
#include "tst_samplefiles.moc"
