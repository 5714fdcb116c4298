#include "FolderFixtures.h"

#include "base/ErrorReport.h"
#include "base/Progress.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderTree.h"
#include "filelist/FolderWalk.h"
#include "filelist/NamePattern.h"
#include "platform/FileNames.h"
#include "tests/support/TestMain.h"

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace folderfixtures;

namespace {
// The collection after a walk from root, with root's own path cut off each entry.
QStringList walkFrom(const QString& root, base::ErrorSink& errors, bool recurse = true) {
    QStringList folders{root + QStringLiteral("/")};
    filelist::collectSubfolders(folders, recurse, errors);
    for (QString& folder : folders)
        folder.remove(0, root.size());
    return folders;
}
} // namespace

class FolderWalkTest : public QObject {
    Q_OBJECT
private slots:
    void init() { prompts.shown.clear(); }

    void namePattern_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("any letter case") << "b.PDF"
                                         << "*.pdf" << true;
        QTest::newRow("non-ASCII letters in another case") << "x.ÄÖ"
                                                           << "*.äö" << true;
        QTest::newRow("longer extension") << "a.pdfx"
                                          << "*.pdf" << false;
        QTest::newRow("star after a false start") << "a.pdf.pdf"
                                                  << "*.pdf" << true;
        QTest::newRow("every file, even without a dot") << "Makefile"
                                                        << "*.*" << true;
        QTest::newRow("question mark is one character") << "a.pdf"
                                                        << "*.p?f" << true;
        QTest::newRow("brackets are no character class") << "a.a"
                                                         << "*.[ab]" << false;
        QTest::newRow("a typed leading dot is kept") << "a.pdf"
                                                     << "*..pdf" << false;
    }
    void namePattern() {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(filelist::matchesNamePattern(name, pattern), matches);
    }

    void unusableCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unusable");
        QTest::newRow("non-ASCII and astral") << "Zoë 报告 🙂" << false;
        QTest::newRow("no-break space (160)") << QStringLiteral("a\u00A0b") << false;
        QTest::newRow("tab") << "a\tb" << true;
        QTest::newRow("delete (127)") << QStringLiteral("a\u007F") << true;
        QTest::newRow("159") << QStringLiteral("\u009Fa") << true;
        QTest::newRow("question mark") << "what?" << true;
    }
    void unusableCharacters() {
        QFETCH(QString, name);
        QFETCH(bool, unusable);
        QCOMPARE(filelist::hasUnusableCharacters(name), unusable);
    }

    void fileTests_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("existingFile");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("attributes"); // -1: none
        QTest::newRow("file") << "file.pdf" << true << false << 32;
        QTest::newRow("read-only file") << "readonly.pdf" << true << false << 33;
        QTest::newRow("hidden file") << ".hidden.pdf" << true << false << 34;
        QTest::newRow("hidden read-only file") << ".readonly.pdf" << true << false << 35;
        QTest::newRow("hidden folder") << ".folder" << false << true << 18;
        QTest::newRow("link to a file") << "filelink.pdf" << true << false << 1056;
        QTest::newRow("link to a folder") << "folderlink" << false << true << 1040;
        QTest::newRow("dangling link") << "dangling.pdf" << false << false << 1024;
        QTest::newRow("pipe") << "pipe.pdf" << false << false << 0;
        QTest::newRow("missing") << "missing.pdf" << false << false << -1;
    }
    void fileTests() {
        QFETCH(QString, entry);
        QFETCH(bool, existingFile);
        QFETCH(bool, folder);
        QFETCH(int, attributes);
        TreeRoot dir;
        makeTree(dir.path(),
                 {"file.pdf", "readonly.pdf", ".hidden.pdf", ".readonly.pdf", ".folder/"});
        QFile::setPermissions(dir.filePath("readonly.pdf"), QFileDevice::ReadOwner);
        QFile::setPermissions(dir.filePath(".readonly.pdf"), QFileDevice::ReadOwner);
        makeLink("file.pdf", dir.filePath("filelink.pdf"));
        makeLink(".folder", dir.filePath("folderlink"));
        makeLink("nowhere.pdf", dir.filePath("dangling.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.pdf")).constData(), 0644), 0);

        const QString path = dir.filePath(entry);
        QCOMPARE(filelist::isExistingFile(path), existingFile);
        QCOMPARE(filelist::isFolder(path), folder);
        QCOMPARE(filelist::fileAttributes(path).value_or(-1), attributes);
    }

    void listingFindsMatchingFilesOnly() {
        TreeRoot dir;
        makeTree(dir.path(), {"b.PDF", "a.pdf", "c.txt", ".hidden.pdf", "~lock.pdf", "Makefile",
                              "folder.pdf/", "A.pdf"});
        makeLink("a.pdf", dir.filePath("link.pdf"));
        makeLink("gone.pdf", dir.filePath("dangling.pdf"));
        const QByteArray undecodable = QFile::encodeName(dir.path()) + "/bad\xff.pdf";
        QVERIFY(::close(::creat(undecodable.constData(), 0644)) == 0);
        // Sorted by name whatever the case (names alike but for it: upper case first); folders
        // and dangling links are left out. A name
        // that is not UTF-8 is listed, and turns back into its own bytes.
        const QString bad = platform::decodeFileName("bad\xff.pdf");
        QCOMPARE(
            filelist::listFilesInFolder(dir.path(), "*.pdf"),
            (QStringList{".hidden.pdf", "A.pdf", "a.pdf", "b.PDF", bad, "link.pdf", "~lock.pdf"}));
        QCOMPARE(platform::encodeFileName(dir.path() + "/" + bad), undecodable);
        QVERIFY(filelist::isExistingFile(dir.path() + "/" + bad));
        QCOMPARE(filelist::listFilesInFolder(dir.path() + "/", "*.*").size(), 9);
        QVERIFY(filelist::listFilesInFolder(dir.filePath("missing"), "*.*").isEmpty());
    }

    void walkGoesLevelByLevel() {
        TreeRoot dir;
        makeTree(dir.path(), {"A/x/z/deep/", "A/Y/", "A/b/", "A/file.pdf"});
        QCOMPARE(walkFrom(dir.filePath("A"), prompts),
                 (QStringList{"/", "/b/", "/x/", "/Y/", "/x/z/", "/x/z/deep/"}));
        QCOMPARE(walkFrom(dir.filePath("A"), prompts, false),
                 (QStringList{"/", "/b/", "/x/", "/Y/"}));
    }

    void walkEntersNoLinkToAFolder() {
        TreeRoot dir;
        makeTree(dir.path(), {"A/real/inner/", "B/"});
        makeLink(".", dir.filePath("A/loop"));
        makeLink("../..", dir.filePath("A/real/up"));
        makeLink("../B", dir.filePath("A/other"));
        QCOMPARE(walkFrom(dir.filePath("A"), prompts),
                 (QStringList{"/", "/real/", "/real/inner/"}));
        // A chosen folder that is itself a link is entered; the links inside it are not.
        makeLink("A", dir.filePath("chosen"));
        QCOMPARE(walkFrom(dir.filePath("chosen"), prompts),
                 (QStringList{"/", "/real/", "/real/inner/"}));
    }

    void walkSkipsUnusableNamesWithTheirSubtree() {
        TreeRoot dir;
        makeTree(dir.path(),
                 {"A/ok Zoë/", "A/tab\there/sub/", QStringLiteral("A/nel\u0085/"), "A/why?/sub/"});
        const QByteArray undecodable = QFile::encodeName(dir.filePath("A")) + "/bad\xff";
        QCOMPARE(::mkdir(undecodable.constData(), 0755), 0);
        QCOMPARE(::mkdir((undecodable + "/sub").constData(), 0755), 0);
        // A name that is not UTF-8 is no unusable name: it is entered like any other.
        const QString bad = platform::decodeFileName("bad\xff");
        filelist::LeftOut leftOut;
        QStringList folders{dir.filePath("A") + "/"};
        filelist::collectSubfolders(folders, true, prompts, &leftOut);
        QCOMPARE(walkFrom(dir.filePath("A"), prompts),
                 (QStringList{"/", "/" + bad + "/", "/ok Zoë/", "/" + bad + "/sub/"}));
        QCOMPARE(leftOut.folders, 3);
    }

    void walkDropsUnreadableFoldersAndGoesOn() {
        TreeRoot dir;
        makeTree(dir.path(), {"A/open/inner/", "A/locked/inner/", "A/z/"});
        QFile::setPermissions(dir.filePath("A/locked"), QFileDevice::Permissions());
        PermissionBitsApply permissions;
        if (!folderIsUnreadable(dir.filePath("A/locked")))
            QSKIP("this process can read every folder whatever its permissions");
        QCOMPARE(walkFrom(dir.filePath("A"), prompts),
                 (QStringList{"/", "/open/", "/z/", "/open/inner/"}));
        QCOMPARE(walkFrom(dir.filePath("A/locked"), prompts),
                 QStringList{}); // the chosen one itself
        QVERIFY(prompts.shown.isEmpty());
    }

    void walkGoesToTheSystemsPathLimitNotTo260() {
        TreeRoot dir;
        // Folders of 250 characters, one in the other, past the system's limit; made relative
        // to each folder, as no path reaches that deep.
        const QByteArray name(250, 'n');
        int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < PATH_MAX / 251 + 2 && folder >= 0; ++level) {
            QCOMPARE(::mkdirat(folder, name.constData(), 0755), 0);
            const int inner = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY);
            ::close(folder);
            folder = inner;
        }
        ::close(folder);
        const QByteArray deepest =
            QFile::encodeName(dir.path() + walkFrom(dir.path(), prompts).constLast());
        QVERIFY(deepest.size() > 3 * 260);
        QVERIFY(deepest.size() < PATH_MAX);
        QVERIFY(deepest.size() + name.size() + 1 >= PATH_MAX); // one more level would not fit
    }

    // A stop asked for ends the walk at its next folder, whatever the step it is in: it goes
    // through the walk's error steps as the end, never reported as an error.
    void aStopRequestedEndsTheWalkAtTheNextFolder() {
        TreeRoot dir;
        makeTree(dir.path(), {"A/a.pdf", "A/b/b.pdf", "A/c/c.pdf", "A/c/d/d.pdf"});
        base::StopRequest stop;
        stop.request();
        QStringList folders{dir.filePath("A") + "/"};
        QVERIFY_THROWS_EXCEPTION(
            base::Stopped, filelist::collectSubfolders(folders, true, prompts, nullptr, &stop));

        // Asked for while the rows of the first folder are taken: no folder after it is read.
        base::StopRequest midway;
        const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton4_Click"));
        QStringList taken;
        const auto take = [&](const QStringList& rows) {
            taken += rows;
            midway.request();
        };
        QVERIFY_THROWS_EXCEPTION(
            base::Stopped,
            filelist::walkFolderTree(dir.filePath("A"), "*.pdf", errors, take, nullptr, &midway));
        QCOMPARE(taken, QStringList{dir.filePath("A/a.pdf")});
        QVERIFY(prompts.shown.isEmpty());
    }

private:
    testsupport::ScriptedPrompts prompts; // the walk's error channel
};

PARVILON_TEST_MAIN(FolderWalkTest)
#include "tst_folderwalk.moc"
