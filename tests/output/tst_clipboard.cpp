#include "base/ErrorReport.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/ClipboardCopy.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/TestMain.h"

#include <QClipboard>
#include <QMimeData>

using output::clipboardText;
using testsupport::results;
using testsupport::ScriptedPrompts;

namespace {

// A clipboard that refuses a given number of calls before it takes one.
struct StubbornClipboard final : platform::Clipboard {
    int refusals = 0;
    int clears = 0;
    int sets = 0;
    QString text = QStringLiteral("earlier content");
    StubbornClipboard() { platform::installClipboard(this); }
    ~StubbornClipboard() override { platform::installClipboard(nullptr); }
    bool clear() override {
        ++clears;
        if (refusals > 0 && refusals-- > 0)
            return false;
        text.clear();
        return true;
    }
    bool setText(const QByteArray& utf8) override {
        ++sets;
        if (refusals > 0 && refusals-- > 0)
            return false;
        text = QString::fromUtf8(utf8);
        return true;
    }
};

const QString pasteHint = QStringLiteral(
    "Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    "and press Ctrl+V to paste the clipboard.");

} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void clipboardText_data() {
        QTest::addColumn<base::ResultsSnapshot>("table");
        QTest::addColumn<QString>("text");
        QTest::newRow("the example: padding that ends a line is trimmed")
            << results({"Filename", "Title"}, {{"C:\\a.pdf", "X"}, {"C:\\bb.pdf", "YY"}})
            << "C:\\a.pdf \tX\r\nC:\\bb.pdf\tYY\r\n";
        QTest::newRow("an empty last cell leaves the tab before it")
            << results({"Filename", "Title", "Author"}, {{"/a", "T", ""}, {"/b", "T", "Ann"}})
            << "/a\tT\t\r\n/b\tT\tAnn\r\n";
        QTest::newRow("only the last cell loses its own trailing blanks")
            << results({"Filename", "Title", "Author"}, {{"/a", " lead trail ", "end  "}})
            << "/a\t lead trail \tend\r\n";
        QTest::newRow("headers are not measured")
            << results({"A very long header", "T"}, {{"/a", "x"}, {"/bb", "y"}})
            << "/a \tx\r\n/bb\ty\r\n";
        QTest::newRow("the path column alone")
            << results({"Filename"}, {{"/a"}, {"/longer"}}) << "/a\r\n/longer\r\n";
        QTest::newRow("unticked rows widen but give no line")
            << results({"Filename", "T"}, {{"/a", "1"}, {"/unticked-long", "2"}}, {1})
            << "/a            \t1\r\n";
        QTest::newRow("nothing ticked: empty text") << results({"Filename"}, {{"/a"}}, {0}) << "";
        QTest::newRow("non-ASCII padded by characters")
            << results({"Filename", "T"}, {{"/Zoë", "中文"}, {"/abcd", "x"}})
            << QString::fromUtf8("/Zoë \t中文\r\n/abcd\tx\r\n");
        // A tab or line break of a name would split its row; each shows as a blank, counted
        // in the width like any character.
        QTest::newRow("tab, line breaks and other controls in a name show as blanks")
            << results({"Filename", "T"}, {{"/a\tb\r\nc\x01.pdf", "x"}, {"/d.pdf", "y"}})
            << "/a b  c .pdf\tx\r\n/d.pdf      \ty\r\n";
    }
    void clipboardText() {
        QFETCH(base::ResultsSnapshot, table);
        QFETCH(QString, text);
        QCOMPARE(QString::fromUtf8(output::clipboardText(table)), text);
    }

    void theButtonCopiesAndTellsHowToPaste() {
        base::ResultsModel table;
        table.setHeaders({"Filename", "Title"});
        table.setCell(table.appendRow("/a.pdf"), 1, "Alpha");
        table.tickAll();
        ScriptedPrompts prompts;
        platform::setApplicationTitle(QStringLiteral("Parvilon")); // as the window's start-up
        output::copyResultsToClipboard(table, errors);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/a.pdf\tAlpha\r\n"));
        // Pasting programs find it as UTF-8 plain text.
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=utf-8"),
                 QByteArray("/a.pdf\tAlpha\r\n"));
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].text, pasteHint);
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
    }

    // With nothing to copy the clipboard keeps what it had, and the user is told so rather
    // than that results were copied.
    void nothingToCopyIsSaidAndTheClipboardKept_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("no rows") << 0;
        QTest::newRow("rows, none ticked") << 2;
    }
    void nothingToCopyIsSaidAndTheClipboardKept() {
        QFETCH(int, rows);
        StubbornClipboard board;
        base::ResultsModel table;
        table.setHeaders({"Filename"});
        for (int row = 0; row < rows; ++row)
            table.appendRow(QStringLiteral("/%1.pdf").arg(row));
        ScriptedPrompts prompts;
        platform::setApplicationTitle(QStringLiteral("Parvilon"));
        output::copyResultsToClipboard(table, errors);
        QCOMPARE(board.text, QStringLiteral("earlier content"));
        QCOMPARE(board.clears + board.sets, 0);
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(prompts.shown[0].kind == ScriptedPrompts::Kind::Message);
        QCOMPARE(prompts.shown[0].text, QStringLiteral("There are no results to copy."));
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
    }

    void nothingTickedEmptiesTheClipboard() {
        StubbornClipboard board;
        output::copyToClipboard(results({"Filename"}, {{"/a"}}, {0}));
        QCOMPARE(board.text, QString());
        QCOMPARE(board.sets, 1);
    }

    void aBusyClipboardIsTriedAgain() {
        StubbornClipboard board;
        board.refusals = 5;
        output::copyToClipboard(results({"Filename"}, {{"/a"}}));
        QCOMPARE(board.text, QStringLiteral("/a\r\n"));
        QCOMPARE(board.clears + board.sets, 7);
    }

    void aClipboardThatNeverTakesItIsReportedNotPraised() {
        StubbornClipboard board;
        board.refusals = 1 << 30;
        QVERIFY(!output::setClipboardTextWithRetry(QByteArray("x")));
        QCOMPARE(board.sets, 1000);
        output::clearClipboardWithRetry();
        QCOMPARE(board.clears, 1000);

        base::ResultsModel table;
        table.setHeaders({"Filename"});
        table.appendRow("/a.pdf");
        table.tickAll();
        ScriptedPrompts prompts;
        output::copyResultsToClipboard(table, errors);
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.shown[0].text.startsWith("The clipboard could not be set"));
        QVERIFY(prompts.shown[0].text.contains("Form1.PushButton2_Click"));
    }

private:
    const base::ErrorReport errors{QStringLiteral("Form1.PushButton2_Click")};
};

PARVILON_TEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"
