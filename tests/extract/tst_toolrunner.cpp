#include "app/EventPump.h"
#include "extract/ToolRunner.h"
#include "platform/TextProgressBar.h"
#include "tests/extract/FakeTool.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QTemporaryDir>

#include <QTimer>
#include <clocale>

using extract::RunToolAndWait;
using testsupport::FakeTool;

namespace {
extract::ToolCommand commandFor(const FakeTool& tool, const QString& outputFile,
                                const QString& password = {}) {
    return extract::buildToolCommand(tool.path(), QStringLiteral("/docs/a.pdf"), password,
                                     outputFile);
}

// Records every distinct text and value the bar shows while a tool runs.
struct BarWatcher {
    explicit BarWatcher(platform::TextProgressBar& bar) {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (texts.isEmpty() || texts.last() != bar.text())
                texts.append(bar.text());
            if (values.isEmpty() || values.last() != bar.rawValue())
                values.append(bar.rawValue());
        });
        timer.start();
    }
    QTimer timer;
    QStringList texts;
    QList<int> values;
};
} // namespace

class ToolRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { app::resetProgramEndForTesting(); }

    void nudges_data() {
        QTest::addColumn<int>("passes");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("value"); // -1: the value does not move at this pass
        QTest::newRow("before five seconds") << 49 << 25 << 4 << -1;
        QTest::newRow("first wait text") << 50 << 25 << 4 << 25;
        QTest::newRow("between steps") << 51 << 25 << 4 << -1;
        QTest::newRow("one step") << 200 << 25 << 4 << 27;
        QTest::newRow("two steps") << 350 << 25 << 4 << 29;
        QTest::newRow("limited to the file's share") << 50 + 150 * 20 << 25 << 4 << 48;
        QTest::newRow("single file may pass 100") << 50 + 150 * 10 << 100 << 1 << 190;
        QTest::newRow("single file first step") << 200 << 100 << 1 << 110;
        QTest::newRow("many files: step rounds to 0") << 200 << 50 << 1000 << 50;
    }
    void nudges() {
        QFETCH(int, passes);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(int, value);
        const auto nudged = extract::nudgedValue(passes, start, count);
        QCOMPARE(nudged.value_or(-1), value);
    }

    void waitingTexts() {
        QCOMPARE(extract::waitingText(QStringLiteral("Processing: a.pdf"), 50),
                 QStringLiteral("Processing: a.pdf, Please wait.. 0"));
        QCOMPARE(extract::waitingText(QStringLiteral("Processing: a.pdf"), 123),
                 QStringLiteral("Processing: a.pdf, Please wait.. 73"));
        QCOMPARE(extract::waitingText(QString(), 50), QStringLiteral("Please wait.. 0"));
        QCOMPARE(extract::roundHalfToEven(2.5), 2);
        QCOMPARE(extract::roundHalfToEven(3.5), 4);
        QCOMPARE(extract::roundHalfToEven(47.5), 48);
    }

    void returnsTheToolsExitCodeAndLeavesAQuickToolsBarAlone() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 3"));
        platform::TextProgressBar bar;
        bar.setText(QStringLiteral("Processing: a.pdf"));
        bar.setRawValue(25);
        QCOMPARE(
            RunToolAndWait(commandFor(tool, folder.filePath("out.txt")), &bar, bar.text(), 25, 4)
                .exitCode,
            3);
        QCOMPARE(bar.text(), QStringLiteral("Processing: a.pdf"));
        QCOMPARE(bar.rawValue(), 25);
        QCOMPARE(RunToolAndWait(commandFor(FakeTool(folder.path(), "exit 0"), folder.filePath("o")),
                                nullptr, {}, 0, 1)
                     .exitCode,
                 0);
    }

    void aToolThatCannotStartReturnsAtOnce() {
        QTemporaryDir folder;
        platform::TextProgressBar bar;
        bar.setText(QStringLiteral("Processing: a.pdf"));
        bar.setRawValue(25);
        auto missing =
            extract::buildToolCommand(folder.filePath("pdftk"), "/a.pdf", {}, folder.filePath("o"));
        const extract::ToolResult gone = RunToolAndWait(missing, &bar, bar.text(), 25, 4);
        QVERIFY(!gone.started);
        QCOMPARE(gone.exitCode, extract::startFailureBase + 2);
        QCOMPARE(gone.problem, QStringLiteral("No such file or directory"));
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        QFile::setPermissions(tool.path(), QFile::ReadOwner | QFile::WriteOwner);
        const extract::ToolResult refused =
            RunToolAndWait(commandFor(tool, folder.filePath("o")), &bar, bar.text(), 25, 4);
        QCOMPARE(refused.exitCode, extract::startFailureBase + 13);
        QCOMPARE(refused.problem, QStringLiteral("Permission denied"));
        QCOMPARE(bar.text(), QStringLiteral("Processing: a.pdf"));
        QCOMPARE(bar.rawValue(), 25);
    }

    void theToolGetsThePasswordOnItsInputAndAUtf8Locale() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        RunToolAndWait(commandFor(tool, folder.filePath("o"), QStringLiteral("s3cr\"et âge")),
                       nullptr, {}, 0, 1);
        const QString log = tool.log();
        QVERIFY2(log.startsWith(QStringLiteral("A=/docs/a.pdf input_pw A=PROMPT dumpdata output ")),
                 qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("|stdin=s3cr\"et âge|")), qPrintable(log));
        if (QByteArray(setlocale(LC_CTYPE, nullptr)).contains("UTF-8"))
            QSKIP("this process already runs in a UTF-8 locale");
        QVERIFY2(log.contains(QStringLiteral("|LC_ALL=C.UTF-8")), qPrintable(log));
    }

    void aSlowToolIsAnnouncedAndItsCaptionRestored() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("sleep 7"));
        platform::TextProgressBar bar;
        bar.setText(QStringLiteral("Processing: a.pdf"));
        bar.setRawValue(25);
        BarWatcher watcher(bar);
        QCOMPARE(RunToolAndWait(commandFor(tool, folder.filePath("o")), &bar, bar.text(), 25, 4)
                     .exitCode,
                 0);
        QVERIFY2(watcher.texts.contains(QStringLiteral("Processing: a.pdf, Please wait.. 0")),
                 qPrintable(watcher.texts.join(" | ")));
        QVERIFY(
            watcher.texts.last().startsWith(QStringLiteral("Processing: a.pdf, Please wait.. ")));
        QCOMPARE(watcher.values, QList<int>{25});
        QCOMPARE(bar.text(), QStringLiteral("Processing: a.pdf"));
    }

    void withoutACaptionTheBarEndsOnItsRestingText() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("sleep 5.5"));
        platform::TextProgressBar bar;
        BarWatcher watcher(bar);
        RunToolAndWait(commandFor(tool, folder.filePath("o")), &bar, QString(), 0, 1);
        QVERIFY2(watcher.texts.contains(QStringLiteral("Please wait.. 0")),
                 qPrintable(watcher.texts.join(" | ")));
        QCOMPARE(bar.text(), QStringLiteral("Progress Bar"));
    }

    void aHangingToolIsStoppedWithItsChildren() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), FakeTool::hangsWithChild());
        extract::RunLimits limits;
        limits.maximumSeconds = 1;
        QCOMPARE(RunToolAndWait(commandFor(tool, folder.filePath("o")), nullptr, {}, 0, 1, limits)
                     .exitCode,
                 extract::toolStopped);
        QVERIFY(tool.childPid() > 0);
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }

    void aCrashingToolEndsTheWait() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("kill -SEGV $$"));
        const int code =
            RunToolAndWait(commandFor(tool, folder.filePath("o")), nullptr, {}, 0, 1).exitCode;
        QVERIFY(code != 0);
    }

    // The reason for a failure is the first line on the error output that is not a warning;
    // a tool that writes without end is read only as far as its first lines.
    void theFirstErrorLineIsKept() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(),
                      QStringLiteral("echo 'pdftk: warning: /docs/a.pdf: xref rebuilt' >&2; "
                                     "echo '  pdftk: /docs/a.pdf: wrong password  ' >&2; "
                                     "head -c 3000000 /dev/zero | tr '\\0' x >&2; exit 1"));
        const extract::ToolResult result =
            RunToolAndWait(commandFor(tool, folder.filePath("o")), nullptr, {}, 0, 1);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.problem, QStringLiteral("pdftk: /docs/a.pdf: wrong password"));
        QCOMPARE(extract::firstErrorLine("pdftk: warning: x\n\n"), QString());
    }

    void closingTheWindowStopsTheWaitAndTheTool() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), FakeTool::hangsWithChild());
        auto window = testsupport::makeMainWindow();
        window->show();
        QTimer::singleShot(500, window.get(), [&] { window->close(); });
        QElapsedTimer clock;
        clock.start();
        bool returned = false;
        app::runHandler([&] {
            RunToolAndWait(commandFor(tool, folder.filePath("o")), window->ProgressBar1, {}, 0, 1);
            returned = true;
        });
        QVERIFY(!returned);
        QVERIFY(clock.elapsed() < 5000);
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }
};

PARVILON_TEST_MAIN(ToolRunnerTest)
#include "tst_toolrunner.moc"
