#include "output/AlignedText.h"
#include "output/ClipboardCopy.h"
#include "output/TextTable.h"
#include "platform/Clipboard.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/TestMain.h"

#include <QClipboard>
#include <QMimeData>

using base::CellValue;
using base::Property;
using testsupport::RecordingClipboard;
using testsupport::results;

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void clipboardText_data() {
        QTest::addColumn<base::ResultsSnapshot>("table");
        QTest::addColumn<QString>("text");
        QTest::newRow("the example: padding that ends a line is trimmed")
            << results({Property::Title}, {{"C:\\a.pdf", "X"}, {"C:\\bb.pdf", "YY"}})
            << "C:\\a.pdf \tX\r\nC:\\bb.pdf\tYY\r\n";
        QTest::newRow("an empty last cell leaves the tab before it")
            << results({Property::Title, Property::Author}, {{"/a", "T", ""}, {"/b", "T", "Ann"}})
            << "/a\tT\t\r\n/b\tT\tAnn\r\n";
        QTest::newRow("only the last cell loses its own trailing blanks")
            << results({Property::Title, Property::Author}, {{"/a", " lead trail ", "end  "}})
            << "/a\t lead trail \tend\r\n";
        QTest::newRow("headers are not measured")
            << results({Property::Keywords}, {{"/a", "x"}, {"/bb", "y"}}) << "/a \tx\r\n/bb\ty\r\n";
        QTest::newRow("the path column alone")
            << results({}, {{"/a"}, {"/longer"}}) << "/a\r\n/longer\r\n";
        QTest::newRow("unticked rows widen but give no line")
            << results({Property::Title}, {{"/a", "1"}, {"/unticked-long", "2"}}, {1})
            << "/a            \t1\r\n";
        QTest::newRow("nothing ticked: empty text") << results({}, {{"/a"}}, {0}) << "";
        QTest::newRow("non-ASCII padded by characters")
            << results({Property::Title}, {{"/Zoë", "中文"}, {"/abcd", "x"}})
            << QString::fromUtf8("/Zoë \t中文\r\n/abcd\tx\r\n");
        // In a monospace editor a CJK character, a fullwidth letter or an emoji takes two
        // columns; a halfwidth katakana, or a letter beyond U+FFFF, one.
        QTest::newRow("wide characters count two columns")
            << results({Property::Title, Property::Author},
                       {{"/a", "東京", "x"}, {"/b", "abc", "y"}, {"/c", "Ａ🎉", "z"}})
            << QString::fromUtf8("/a\t東京\tx\r\n/b\tabc \ty\r\n/c\tＡ🎉\tz\r\n");
        QTest::newRow("narrow characters count one column")
            << results({Property::Title, Property::Author}, {{"/a", "ｱ𝔸", "x"}, {"/b", "abc", "y"}})
            << QString::fromUtf8("/a\tｱ𝔸 \tx\r\n/b\tabc\ty\r\n");
        // A tab or line break of a name would split its row; each shows as a blank, counted
        // in the width like any character.
        QTest::newRow("tab, line breaks and other controls in a name show as blanks")
            << results({Property::Title}, {{"/a\tb\r\nc\x01.pdf", "x"}, {"/d.pdf", "y"}})
            << "/a b  c .pdf\tx\r\n/d.pdf      \ty\r\n";
        QTest::newRow("whole numbers as their digits")
            << results({Property::Pages, Property::Title},
                       {{"/a", CellValue::integer(120), "T"}, {"/b", CellValue::integer(7), ""}})
            << "/a\t120\tT\r\n/b\t7  \t\r\n";
    }
    void clipboardText() {
        QFETCH(base::ResultsSnapshot, table);
        QFETCH(QString, text);
        QCOMPARE(QString::fromUtf8(output::clipboardText(output::TextTable(table, QLocale::c()))),
                 text);
    }

    // Without a ticked row there is nothing to copy (the clipboard is then left alone).
    void anyTicked_data() {
        QTest::addColumn<base::ResultsSnapshot>("table");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("no rows") << results({Property::Title}, {}) << false;
        QTest::newRow("rows, none ticked") << results({}, {{"/a"}, {"/b"}}, {0, 1}) << false;
        QTest::newRow("the last row ticked") << results({}, {{"/a"}, {"/b"}}, {0}) << true;
    }
    void anyTicked() {
        QFETCH(base::ResultsSnapshot, table);
        QFETCH(bool, ticked);
        QCOMPARE(output::anyTicked(table), ticked);
    }

    // Pasting programs find the text as UTF-8 plain text.
    void theDesktopClipboardOffersUtf8Text() {
        platform::DesktopClipboard board;
        const QByteArray text = QString::fromUtf8("/a.pdf\tZoë\r\n").toUtf8();
        QVERIFY(output::putOnClipboard(board, text));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("/a.pdf\tZoë\r\n"));
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=utf-8"), text);
    }

    void aBusyClipboardIsTriedAgain() {
        RecordingClipboard board;
        board.text = "earlier content";
        board.refusals = 5;
        QVERIFY(output::putOnClipboard(board, "/a\r\n"));
        QCOMPARE(board.text, QByteArray("/a\r\n"));
        QCOMPARE(board.calls, 7); // five refused clears, a clear, a set
    }

    void aClipboardThatNeverTakesItIsAFailure() {
        RecordingClipboard board;
        board.refusals = 1 << 30;
        QVERIFY(!output::putOnClipboard(board, "x"));
        QCOMPARE(board.calls, 2 * output::clipboardAttempts);
        QVERIFY(!board.holdsText);
    }
};

PARVILON_TEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"
