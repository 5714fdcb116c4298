// The run with tools that serve one file after another: rows in list order whatever a tool
// does to itself, tools replaced when they crash, hang, have served their share or grown,
// and none left behind when the run ends early.
#include "base/CellText.h"
#include "base/ErrorReport.h"
#include "extract/ExtractionRun.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <sys/wait.h>

namespace {

// The stand-in serving tool, linked into a folder of the test's own as "pdftk"; it logs every
// request beside it.
struct ServingTool {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("pdftk"));
    ServingTool() {
        QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/fake_serving_tool"),
                    path);
    }
    // One line per request: the serving process's id and the path asked for.
    QList<QPair<qint64, QString>> requests() const {
        QFile log(folder.filePath(QStringLiteral("serve.log")));
        QList<QPair<qint64, QString>> lines;
        if (log.open(QIODevice::ReadOnly))
            for (const QByteArray& line : log.readAll().split('\n'))
                if (const QList<QByteArray> fields = line.split(' '); fields.size() >= 2)
                    lines.append({fields[0].toLongLong(), QString::fromUtf8(fields[1])});
        return lines;
    }
    QSet<qint64> processes() const {
        QSet<qint64> pids;
        for (const auto& request : requests())
            pids.insert(request.first);
        return pids;
    }
};

struct Outcome {
    QList<base::ResultRowData> rows;
    extract::RunSummary summary;
    bool finished = false;
};

const base::Columns titleProducerPages = {base::Property::Title, base::Property::Producer,
                                          base::Property::Pages};

QString text(const base::ResultRowData& row, int column) {
    return base::cellText(row.cells.cell(column));
}

// No process of the tool is left: this process has no child, reaped or not.
bool noChildLeft() {
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
}

} // namespace

class ToolWorkersTest : public QObject {
    Q_OBJECT

    QTemporaryDir temporary;

    extract::RunOptions optionsFor(const ServingTool& tool) {
        extract::RunOptions options;
        options.toolPath = tool.path;
        options.temporaryFolder = temporary.path();
        options.parallelTools = 2;
        return options;
    }

    // Runs over files until the run has finished.
    Outcome runOver(const QStringList& files, const extract::RunOptions& options,
                    const std::function<void(extract::ExtractionRun&)>& meanwhile = {},
                    const base::Columns& columns = titleProducerPages) {
        Outcome outcome;
        base::CollectedErrors errors;
        extract::ExtractionRun run(files, columns, options,
                                   base::ErrorReport(errors, QStringLiteral("Test.run")));
        connect(&run, &extract::ExtractionRun::rowReady,
                [&](const base::ResultRowData& row) { outcome.rows.append(row); });
        connect(&run, &extract::ExtractionRun::finished, [&](const extract::RunSummary& summary) {
            outcome.summary = summary;
            outcome.finished = true;
        });
        run.start();
        if (meanwhile)
            meanwhile(run);
        // Waited for here, not with QTRY_*: a failure there would return no outcome.
        QElapsedTimer waited;
        waited.start();
        while (!outcome.finished && waited.elapsed() < 30000)
            QTest::qWait(10);
        return outcome;
    }

private slots:
    // File k crashes or hangs its tool: only its row is marked, with the reason, and the files
    // after it are read by a fresh tool, in list order.
    void aFileThatBreaksItsToolCostsOnlyItsRow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("crash") << "crash"
                               << "The tool ended while it read the file: it was ended by "
                                  "signal 11 (Segmentation fault).";
        QTest::newRow("hang") << "hang"
                              << "The tool was stopped after 0.5 seconds.";
    }
    void aFileThatBreaksItsToolCostsOnlyItsRow() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        ServingTool tool;
        extract::RunOptions options = optionsFor(tool);
        options.limits.toolLimit = std::chrono::milliseconds(500);
        options.parallelTools = 1; // the files after it can only be read by a fresh tool
        QStringList files;
        for (int i = 1; i <= 12; ++i)
            files.append(i == 4 ? QStringLiteral("/d/%1.pdf").arg(name)
                                : QStringLiteral("/d/%1.pdf").arg(i));
        const Outcome outcome = runOver(files, options);
        QVERIFY(outcome.finished);
        QCOMPARE(outcome.rows.size(), files.size());
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(outcome.rows[i].path, files[i]);
            if (i == 3) {
                QCOMPARE(outcome.rows[i].unreadReason, reason);
                QCOMPARE(text(outcome.rows[i], 1), QString());
            } else {
                QCOMPARE(outcome.rows[i].unreadReason, QString());
                QCOMPARE(text(outcome.rows[i], 1), QString::number(i + 1));
            }
        }
        QCOMPARE(outcome.summary.unreadFiles, 1);
        // One in place of the broken one; the file asked of the broken one next, which it
        // never began, is read once, by the fresh one.
        QCOMPARE(tool.processes().size(), 2);
        QCOMPARE(tool.requests().size(), files.size());
        QTRY_VERIFY(noChildLeft());
    }

    // A file asked of a worker while it still reads another has its time limit counted from
    // when the worker begins on it: two slow files one after the other are both read.
    void aQueuedFilesTimeStartsWhenItsToolBeginsOnIt() {
        ServingTool tool;
        extract::RunOptions options = optionsFor(tool);
        options.limits.toolLimit = std::chrono::milliseconds(500);
        options.parallelTools = 1;
        const Outcome outcome = runOver({"/d/slow1.pdf", "/d/slow2.pdf"}, options);
        QCOMPARE(outcome.rows.size(), 2);
        for (const base::ResultRowData& row : outcome.rows)
            QCOMPARE(row.unreadReason, QString());
        QCOMPARE(tool.processes().size(), 1);
    }

    // A tool is replaced after its share of files, or once it holds more memory than allowed
    // (after the file it was asked next, which it has begun); each file is still read once,
    // by one tool.
    void toolsAreReplacedAfterTheirShare_data() {
        QTest::addColumn<int>("filesPerWorker");
        QTest::addColumn<bool>("growing");
        QTest::newRow("by count") << 3 << false;
        QTest::newRow("by memory") << 1000 << true;
    }
    void toolsAreReplacedAfterTheirShare() {
        QFETCH(int, filesPerWorker);
        QFETCH(bool, growing);
        ServingTool tool;
        extract::RunOptions options = optionsFor(tool);
        options.parallelTools = 1;
        options.filesPerWorker = filesPerWorker;
        options.workerMemoryLimit = qint64{48} << 20;
        QStringList files;
        for (int i = 1; i <= 10; ++i)
            files.append(growing ? QStringLiteral("/d/grow%1.pdf").arg(i)
                                 : QStringLiteral("/d/%1.pdf").arg(i));
        const Outcome outcome = runOver(files, options);

        QCOMPARE(outcome.rows.size(), 10);
        QHash<QString, int> servedBy;
        for (const base::ResultRowData& row : outcome.rows) {
            QCOMPARE(row.unreadReason, QString());
            ++servedBy[text(row, 2)]; // the Producer: the serving process
            // The page count: how many files that process had served, this one included.
            QVERIFY(text(row, 3).toInt() <= (growing ? 2 : 3));
        }
        QCOMPARE(servedBy.size(), growing ? 5 : 4);
        QCOMPARE(tool.requests().size(), 10);
        QTRY_VERIFY(noChildLeft());
    }

    // A password goes through the tool's pipe, asked only when the tool says it is needed.
    void aPasswordThroughThePipe() {
        ServingTool tool;
        extract::RunOptions options = optionsFor(tool);
        options.askForPasswords = [] { return true; };
        QStringList asked;
        const Outcome outcome = runOver(
            {"/d/1.pdf", "/d/locked.pdf", "/d/3.pdf"}, options, [&](extract::ExtractionRun& run) {
                connect(&run, &extract::ExtractionRun::passwordNeeded,
                        [&](const QString& path, const QString& prompt) {
                            asked.append(prompt);
                            run.answerPassword({platform::PasswordAnswer::Choice::Ok,
                                                asked.size() == 1 ? QStringLiteral("wrong")
                                                                  : QStringLiteral("right"),
                                                false});
                            Q_UNUSED(path);
                        });
            });
        QCOMPARE(asked.size(), 2);
        QVERIFY(!asked[0].startsWith("Wrong password."));
        QVERIFY(asked[1].startsWith("Wrong password.\r\n"));
        QCOMPARE(outcome.rows.size(), 3);
        QCOMPARE(outcome.rows[1].unreadReason, QString());
        QCOMPARE(text(outcome.rows[1], 1), QStringLiteral("locked"));
        QStringList passwordsSent;
        QFile log(tool.folder.filePath(QStringLiteral("serve.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        for (const QByteArray& line : log.readAll().split('\n'))
            if (line.contains("locked"))
                passwordsSent.append(QString::fromUtf8(line.split(' ').value(3)));
        QCOMPARE(passwordsSent, (QStringList{"", "wrong", "right"}));
    }

    // Every page is read (to tell whether the pages' sizes vary) only when the page size is
    // shown: the other audit columns ask for the first page alone.
    void everyPageIsReadOnlyForThePageSize_data() {
        QTest::addColumn<base::Columns>("columns");
        QTest::addColumn<QString>("words");
        using base::Property;
        QTest::newRow("no audit column") << titleProducerPages << "dumpdata";
        QTest::newRow("tagged and language")
            << base::Columns{Property::Title, Property::Tagged, Property::Language}
            << "dumpdata,audit_first_page";
        QTest::newRow("the page size")
            << base::Columns{Property::Tagged, Property::PageSize} << "dumpdata,audit";
    }
    void everyPageIsReadOnlyForThePageSize() {
        QFETCH(base::Columns, columns);
        QFETCH(QString, words);
        ServingTool tool;
        const Outcome outcome = runOver({"/d/1.pdf", "/d/2.pdf"}, optionsFor(tool), {}, columns);
        QCOMPARE(outcome.rows.size(), 2);
        QFile log(tool.folder.filePath(QStringLiteral("serve.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        for (const QByteArray& line : lines)
            QCOMPARE(QString::fromUtf8(line.split(' ').value(2)), words);
    }

    // Ended early, by stop or by abort, while a tool hangs: every tool goes at once.
    void anEarlyEndLeavesNoTool_data() {
        QTest::addColumn<bool>("abort");
        QTest::newRow("stop") << false;
        QTest::newRow("abort") << true;
    }
    void anEarlyEndLeavesNoTool() {
        QFETCH(bool, abort);
        ServingTool tool;
        extract::RunOptions options = optionsFor(tool);
        Outcome outcome;
        {
            base::CollectedErrors errors;
            extract::ExtractionRun run({"/d/1.pdf", "/d/hang.pdf", "/d/3.pdf", "/d/4.pdf"},
                                       titleProducerPages, options,
                                       base::ErrorReport(errors, QStringLiteral("Test.run")));
            connect(&run, &extract::ExtractionRun::rowReady,
                    [&](const base::ResultRowData& row) { outcome.rows.append(row); });
            connect(&run, &extract::ExtractionRun::finished,
                    [&](const extract::RunSummary& summary) {
                        outcome.summary = summary;
                        outcome.finished = true;
                    });
            run.start();
            QTRY_COMPARE(outcome.rows.size(), 1);     // the hanging file holds up the next row
            QTRY_COMPARE(tool.processes().size(), 2); // both tools at work
            if (abort)
                run.abort();
            else
                run.stop();
            if (!abort)
                QTRY_VERIFY(outcome.finished);
        }
        QVERIFY(noChildLeft());
        QCOMPARE(outcome.finished, !abort);
        QCOMPARE(outcome.summary.stopped, !abort);
        QCOMPARE(outcome.rows.size(), 1);
    }
};

PARVILON_TEST_MAIN(ToolWorkersTest)
#include "tst_toolworkers.moc"
