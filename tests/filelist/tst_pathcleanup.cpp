#include "filelist/FileDialogIntake.h"
#include "filelist/PathCleanup.h"
#include "tests/support/TestMain.h"

class PathCleanupTest : public QObject {
    Q_OBJECT
private slots:
    void collapseDoubleSeparators_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("clean path unchanged") << "/home/u/a.pdf"
                                              << "/home/u/a.pdf";
        QTest::newRow("root folder joined with a name") << "//a.pdf"
                                                        << "/a.pdf";
        QTest::newRow("folder ending in a separator") << "/home/u//a.pdf"
                                                      << "/home/u/a.pdf";
        QTest::newRow("three in a row become two") << "/home///a.pdf"
                                                   << "/home//a.pdf";
        QTest::newRow("four in a row become two") << "/home////a.pdf"
                                                  << "/home//a.pdf";
        QTest::newRow("leading run becomes one") << "///srv//share/a.pdf"
                                                 << "/srv/share/a.pdf";
        QTest::newRow("one leading separator stays one") << "/a"
                                                         << "/a";
        QTest::newRow("relative path") << "docs//a.pdf"
                                       << "docs/a.pdf";
        QTest::newRow("only separators") << "////"
                                         << "/";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("spaces, quotes and non-ASCII") << "/home/zoë//My \"Q\" 'x' 报告.pdf"
                                                      << "/home/zoë/My \"Q\" 'x' 报告.pdf";
        QTest::newRow("backslashes are ordinary characters") << "/d/a\\\\b.pdf"
                                                             << "/d/a\\\\b.pdf";
    }
    void collapseDoubleSeparators() {
        QFETCH(QString, path);
        QFETCH(QString, cleaned);
        QCOMPARE(filelist::collapseDoubledSeparators(path), cleaned);
    }

    void oneChosenFileIsKeptAsReturnedSeveralAreCleaned() {
        QCOMPARE(filelist::rowsForChosenFiles({"//a.pdf"}), QStringList{"//a.pdf"});
        QCOMPARE(filelist::rowsForChosenFiles({"//a.pdf", "//b.pdf"}),
                 (QStringList{"/a.pdf", "/b.pdf"}));
        QCOMPARE(filelist::rowsForChosenFiles({"/d/b.pdf", "/d/a.pdf", "/d/b.pdf"}),
                 (QStringList{"/d/b.pdf", "/d/a.pdf", "/d/b.pdf"}));
    }
};

PARVILON_TEST_MAIN(PathCleanupTest)
#include "tst_pathcleanup.moc"
