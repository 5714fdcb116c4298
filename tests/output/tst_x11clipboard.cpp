// Run in a real X server (xvfb-run): the results copied by "Copy Results To Clipboard" are
// what another program pastes from the clipboard.
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QPushButton>

#include <QProcess>

class X11ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void anotherProgramPastesTheAlignedRows() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        auto window = testsupport::makeMainWindow();
        window->show();
        base::ResultsModel& results = window->results();
        results.setHeaders({"Filename", "Title"});
        results.setCell(results.appendRow("/docs/a.pdf"), 1, QString::fromUtf8("Café"));
        results.setCell(results.appendRow("/b.pdf"), 1, "Beta");
        results.tickAll();
        testsupport::ScriptedPrompts prompts;
        QTest::mouseClick(window->controls().copyToClipboard, Qt::LeftButton);
        QCOMPARE(prompts.shown.size(), 1);

        // xclip asks this process for the text, so keep serving events while it reads.
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"});
        QTRY_COMPARE_WITH_TIMEOUT(xclip.state(), QProcess::NotRunning, 10000);
        QCOMPARE(QString::fromUtf8(xclip.readAllStandardOutput()),
                 QString::fromUtf8("/docs/a.pdf\tCafé\r\n/b.pdf     \tBeta\r\n"));
    }
};

PARVILON_TEST_MAIN(X11ClipboardTest)
#include "tst_x11clipboard.moc"
