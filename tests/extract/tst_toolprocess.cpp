#include "extract/ToolOutput.h"
#include "extract/ToolProcess.h"
#include "extract/WaitingProgress.h"
#include "tests/support/FakeTool.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>

using extract::ToolProcess;
using testsupport::FakeTool;
using testsupport::RecordingProgress;

namespace {
extract::ToolCommand commandFor(const FakeTool& tool, const QString& outputFile,
                                const QString& password = {}) {
    return extract::buildToolCommand(tool.path(), QStringLiteral("/docs/a.pdf"), password,
                                     outputFile);
}

// Waits for the tool's end as the run's event loop notices it: its end descriptor becomes
// readable; the error output is read meanwhile, so a tool that writes much is not held up.
int exitCodeOf(ToolProcess& tool) {
    while (!tool.checkForEnd()) {
        pollfd waits[2] = {{tool.endDescriptor(), POLLIN, 0}, {tool.errorDescriptor(), POLLIN, 0}};
        ::poll(waits, tool.errorOutputHasEnded() ? 1 : 2, 1000);
        tool.collectErrorOutput();
    }
    return tool.exitCode();
}

int exitCodeOf(const extract::ToolCommand& command) {
    ToolProcess tool(command);
    return exitCodeOf(tool);
}
} // namespace

class ToolProcessTest : public QObject {
    Q_OBJECT
private slots:
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

    void theToolsExitCodeIsKept() {
        QTemporaryDir folder;
        QCOMPARE(exitCodeOf(commandFor(FakeTool(folder.path(), "exit 3"), folder.filePath("o"))),
                 3);
        QCOMPARE(exitCodeOf(commandFor(FakeTool(folder.path(), "exit 0"), folder.filePath("o"))),
                 0);
    }

    void aToolThatCannotStartSaysWhy() {
        QTemporaryDir folder;
        ToolProcess gone(extract::buildToolCommand(folder.filePath("pdftk"), "/a.pdf", {},
                                                   folder.filePath("o")));
        QVERIFY(!gone.wasStarted() && gone.endNoticed());
        QCOMPARE(gone.startError(), ENOENT);
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        QFile::setPermissions(tool.path(), QFile::ReadOwner | QFile::WriteOwner);
        ToolProcess refused(commandFor(tool, folder.filePath("o")));
        QVERIFY(!refused.wasStarted());
        QCOMPARE(refused.startError(), EACCES);
    }

    void theToolGetsThePasswordOnItsInputAndAUtf8Locale() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("exit 0"));
        exitCodeOf(commandFor(tool, folder.filePath("o"), QStringLiteral("s3cr\"et âge")));
        const QString log = tool.log();
        QVERIFY2(log.startsWith(QStringLiteral("A=/docs/a.pdf input_pw A=PROMPT dumpdata output ")),
                 qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("|stdin=s3cr\"et âge|")), qPrintable(log));
        if (QByteArray(setlocale(LC_CTYPE, nullptr)).contains("UTF-8"))
            QSKIP("this process already runs in a UTF-8 locale");
        QVERIFY2(log.contains(QStringLiteral("|LC_ALL=C.UTF-8")), qPrintable(log));
    }

    // Below the program's priority, so the window gets its turn first when processors are
    // busy. The tool looks a moment after its start, by when its priority has been set.
    void theToolRunsBelowTheProgramsPriority() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("sleep 0.3; nice > \"$here/nice\""));
        QCOMPARE(exitCodeOf(commandFor(tool, folder.filePath("o"))), 0);
        QFile said(folder.filePath("nice"));
        QVERIFY(said.open(QIODevice::ReadOnly));
        QCOMPARE(said.readAll().trimmed().toInt(),
                 std::min(::getpriority(PRIO_PROCESS, 0) + 5, 19));
    }

    // Whatever this program ignores or blocks, the tool starts as a program started afresh:
    // no signal ignored or blocked (a tool that ignored SIGPIPE would write on to a reader
    // that has gone).
    void theToolStartsWithEverySignalAtItsDefault() {
        QTemporaryDir folder;
        FakeTool tool(
            folder.path(),
            QStringLiteral("grep -E 'SigBlk|SigIgn' /proc/$$/status > \"$here/signals\""));
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction interruptBefore {};
        struct sigaction hangUpBefore {};
        ::sigaction(SIGINT, &ignore, &interruptBefore);
        ::sigaction(SIGHUP, &ignore, &hangUpBefore);
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR1);
        sigset_t maskBefore;
        pthread_sigmask(SIG_BLOCK, &blocked, &maskBefore);
        const auto restore = qScopeGuard([&] {
            ::sigaction(SIGINT, &interruptBefore, nullptr);
            ::sigaction(SIGHUP, &hangUpBefore, nullptr);
            pthread_sigmask(SIG_SETMASK, &maskBefore, nullptr);
        });
        QCOMPARE(exitCodeOf(commandFor(tool, folder.filePath("o"))), 0);
        QFile said(folder.filePath("signals"));
        QVERIFY(said.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = said.readAll().split('\n');
        QVERIFY(lines.size() >= 2 && lines[0].startsWith("SigBlk:") &&
                lines[1].startsWith("SigIgn:"));
        QCOMPARE(lines[0].mid(7).trimmed().toULongLong(nullptr, 16), 0ULL);
        // Of the standard signals (bits 0 to 30); the C library keeps two of its own ignored.
        QCOMPARE(lines[1].mid(7).trimmed().toULongLong(nullptr, 16) & 0x7fffffffULL, 0ULL);
    }

    // A wait of more than 50 passes says so after its caption, counting the passes; time
    // left out (a question to the user) is no wait; at the end the caption is put back.
    void aLongWaitIsAnnouncedAndItsCaptionRestored() {
        RecordingProgress progress;
        extract::WaitingProgress waiting(progress, "Processing: a.pdf", 25, 4,
                                         std::chrono::milliseconds(10));
        QTest::qWait(300);
        waiting.update();
        QVERIFY(progress.texts.isEmpty()); // 30 passes: nothing yet
        waiting.leaveOut(300);
        QTest::qWait(300);
        waiting.update();
        QVERIFY(progress.texts.isEmpty()); // 30 passes of waiting, 30 left out
        QTest::qWait(400);
        waiting.update();
        QCOMPARE(progress.texts.value(0), QStringLiteral("Processing: a.pdf, Please wait.. 0"));
        QCOMPARE(progress.values, QList<int>{25});
        waiting.restoreCaption();
        QCOMPARE(progress.texts.last(), QStringLiteral("Processing: a.pdf"));
        extract::WaitingProgress uncaptioned(progress, QString(), 0, 1,
                                             std::chrono::milliseconds(10));
        uncaptioned.restoreCaption();
        QCOMPARE(progress.texts.last(), QStringLiteral("Progress Bar"));
    }

    // A tool stopped, or one that goes while it still runs, takes its children with it.
    void aStoppedToolTakesItsChildren() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), FakeTool::hangsWithChild());
        {
            ToolProcess hanging(commandFor(tool, folder.filePath("o")));
            QTRY_VERIFY(tool.childPid() > 0);
            QVERIFY(hanging.running());
            hanging.stop();
            QVERIFY(hanging.endNoticed());
            QCOMPARE(hanging.exitCode(), 137);
            QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
        }
        QFile::remove(folder.filePath("child.pid"));
        {
            ToolProcess forgotten(commandFor(tool, folder.filePath("o")));
            QTRY_VERIFY(tool.childPid() > 0);
        }
        QTRY_VERIFY(!FakeTool::processAlive(tool.childPid()));
    }

    void aCrashingToolEnds() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(), QStringLiteral("kill -SEGV $$"));
        QVERIFY(exitCodeOf(commandFor(tool, folder.filePath("o"))) != 0);
    }

    // The reason for a failure is the first line on the error output that is not a warning;
    // a tool that writes without end is read only as far as its first lines.
    void theFirstErrorLineIsKept() {
        QTemporaryDir folder;
        FakeTool tool(folder.path(),
                      QStringLiteral("echo 'pdftk: warning: /docs/a.pdf: xref rebuilt' >&2; "
                                     "echo '  pdftk: /docs/a.pdf: wrong password  ' >&2; "
                                     "head -c 3000000 /dev/zero | tr '\\0' x >&2; exit 1"));
        ToolProcess failing(commandFor(tool, folder.filePath("o")));
        QCOMPARE(exitCodeOf(failing), 1);
        QVERIFY(failing.errors().size() <= 4096);
        QCOMPARE(extract::firstErrorLine(failing.errors()),
                 QStringLiteral("pdftk: /docs/a.pdf: wrong password"));
        QCOMPARE(extract::firstErrorLine("pdftk: warning: x\n\n"), QString());
        // pdftk-java says why on the indented lines after the first.
        QCOMPARE(extract::firstErrorLine("Error: Failed to open input PDF file: \n   /d/a.pdf\n"
                                         "   OWNER OR USER PASSWORD REQUIRED, but not given\n"
                                         "Errors encountered.  No output created.\n"),
                 QStringLiteral("Error: Failed to open input PDF file: /d/a.pdf OWNER OR USER "
                                "PASSWORD REQUIRED, but not given"));
    }
};

PARVILON_TEST_MAIN(ToolProcessTest)
#include "tst_toolprocess.moc"
