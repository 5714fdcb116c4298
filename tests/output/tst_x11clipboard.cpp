// Run in a real X server (xvfb-run): the results copied by "Copy Results To Clipboard" are
// what another program pastes from the clipboard.
#include "app/MainWindow.h"
#include "output/ClipboardCopy.h"
#include "platform/Clipboard.h"
#include "tests/support/TestMain.h"

#include <QProcess>
#include <QPushButton>

class X11ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void anotherProgramPastesTheAlignedRows() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        // The test's services, but the desktop's own clipboard.
        testsupport::TestServices doubles;
        platform::DesktopClipboard clipboard;
        const base::Services services{doubles.prompts,     clipboard,       doubles.shell,
                                      doubles.spreadsheet, doubles.folders, doubles.prompts};
        app::MainWindow window(services, doubles.prompts);
        window.load();
        window.show();
        base::ResultsModel& results = window.results();
        results.setColumns({base::Property::Title});
        results.setCell(results.appendRow("/docs/a.pdf"), 1, QString::fromUtf8("Café"));
        results.setCell(results.appendRow("/b.pdf"), 1, "Beta");
        results.tickAll();
        QTest::mouseClick(window.controls().copyToClipboard, Qt::LeftButton);
        QTRY_COMPARE(doubles.prompts.shown.size(), 1);
        QCOMPARE(doubles.prompts.shown[0].text, output::resultsCopied);

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
