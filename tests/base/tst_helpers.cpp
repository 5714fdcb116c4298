#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/PathHelpers.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <atomic>
#include <optional>
#include <thread>

class HelpersTest : public QObject {
    Q_OBJECT
private slots:
    void fileNameOf_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "/home/u/a.pdf"
                               << "a.pdf";
        QTest::newRow("no separator") << "a.pdf"
                                      << "a.pdf";
        QTest::newRow("root") << "/a.pdf"
                              << "a.pdf";
        QTest::newRow("trailing separator") << "/home/u/"
                                            << "";
        QTest::newRow("spaces and quotes") << "/d/my \"best\" file's.pdf"
                                           << "my \"best\" file's.pdf";
        QTest::newRow("non-ASCII") << "/d/Café/报告 ü.pdf"
                                   << "报告 ü.pdf";
        QTest::newRow("empty") << ""
                               << "";
    }
    void fileNameOf() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(base::fileNameOf(path), name);
    }

    void fileIsPresentForFilesAndFoldersOnly() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("é x.pdf"));
        QFile(file).open(QIODevice::WriteOnly);
        QVERIFY(base::fileIsPresent(file));
        QVERIFY(base::fileIsPresent(folder.path()));
        QVERIFY(!base::fileIsPresent(folder.filePath(QStringLiteral("missing.pdf"))));
        QVERIFY(!base::fileIsPresent(QString()));
        const QString dangling = folder.filePath(QStringLiteral("dangling"));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("nowhere")), dangling));
        QVERIFY(!base::fileIsPresent(dangling));
    }

    void numbersFromStoredText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("one") << "1" << 1.0;
        QTest::newRow("leading blank") << " 1" << 1.0;
        QTest::newRow("decimal") << "1.0" << 1.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("negative") << "-2" << -2.0;
    }
    void numbersFromStoredText() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(base::numberFromText(text).value(), number);
    }

    void textThatIsNoNumberIsAnError() {
        for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("1x"),
                                    QStringLiteral("inf"), QStringLiteral("nan")})
            QVERIFY(!base::numberFromText(text).ok());
        QCOMPARE(base::numberFromText(QStringLiteral("x")).error(),
                 QStringLiteral("Type mismatch: \"x\" is not a number."));
    }

    void smallIntegersRoundHalfToEvenAndOverflow() {
        QCOMPARE(base::smallIntegerFromText(QStringLiteral("0.5")).value(), 0);
        QCOMPARE(base::smallIntegerFromText(QStringLiteral("1.5")).value(), 2);
        QCOMPARE(base::smallIntegerFromText(QStringLiteral("2.5")).value(), 2);
        QCOMPARE(base::smallIntegerFromText(QStringLiteral("32767")).value(), 32767);
        QVERIFY(!base::smallIntegerFromText(QStringLiteral("32768")).ok());
        QVERIFY(!base::smallIntegerFromText(QStringLiteral("x")).ok());
        // Inside a step a failure is the step's error.
        QVERIFY_THROWS_EXCEPTION(base::RunTimeError,
                                 base::smallIntegerFromText(QStringLiteral("x")).valueOrThrow());
    }

    // Long work runs in a thread of its own: what it delivers arrives in the starting thread
    // in order, before its end; its end carries success, its failure, or the stop.
    void backgroundWorkDeliversInOrderThenEnds_data() {
        QTest::addColumn<QString>("failure"); // empty: the work succeeds
        QTest::addColumn<bool>("stopped");
        QTest::newRow("success") << QString() << false;
        QTest::newRow("failure") << "The disk is full." << false;
        QTest::newRow("stopped") << "Stopped." << true;
    }
    void backgroundWorkDeliversInOrderThenEnds() {
        QFETCH(QString, failure);
        QFETCH(bool, stopped);
        const auto starter = std::this_thread::get_id();
        QList<int> delivered;
        bool allInStarter = true;
        base::BackgroundWork work([&](base::BackgroundWork::Context& context) {
            for (int i = 0; i < 100; ++i)
                context.deliver([&, i] {
                    delivered.append(i);
                    allInStarter = allInStarter && std::this_thread::get_id() == starter;
                });
            context.progress.setValue(100);
            context.progress.setText(QStringLiteral("Done."));
            while (stopped)
                context.stop.throwIfRequested();
            return failure.isEmpty() ? base::Status::success() : base::Status::failure(failure);
        });
        std::optional<base::Status> result;
        QList<std::pair<int, QString>> shown;
        connect(&work, &base::BackgroundWork::finished,
                [&](const base::Status& status) { result = status; });
        connect(&work, &base::BackgroundWork::progress, [&](int value, const QString& text) {
            shown.append({value, text});
        });
        work.start();
        QVERIFY(work.isRunning());
        if (stopped)
            work.stop();
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
        QVERIFY(!work.isRunning());
        QCOMPARE(delivered.size(), 100);
        QVERIFY(std::is_sorted(delivered.begin(), delivered.end()));
        QVERIFY(allInStarter);
        QCOMPARE(result->ok(), failure.isEmpty());
        QCOMPARE(result->error(), failure);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), std::make_pair(100, QStringLiteral("Done.")));
    }

    // Work whose owner goes is asked to stop, and nothing of it outlives the owner.
    void backgroundWorkEndsWithItsOwner() {
        std::atomic<bool> ended = false;
        {
            base::BackgroundWork work([&](base::BackgroundWork::Context& context) {
                const auto endAnyway = qScopeGuard([&] { ended = true; });
                for (;;)
                    context.stop.throwIfRequested();
                return base::Status::success();
            });
            work.start();
        }
        QVERIFY(ended);
    }
};

PARVILON_TEST_MAIN(HelpersTest)
#include "tst_helpers.moc"
