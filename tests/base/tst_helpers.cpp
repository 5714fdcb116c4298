#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/PathHelpers.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

    void nestedOperationsKeepTheBusyStateUntilTheOutermostEnds() {
        struct Recorded final : base::BusyState {
            QList<bool> shown;
            void show(bool busy) override { shown.append(busy); }
        } state;
        QVERIFY(!state.isBusy());
        {
            base::BusyScope outer(state);
            QVERIFY(state.isBusy());
            {
                base::BusyScope inner(state); // a save started while a run goes on
                QVERIFY(state.isBusy());
            }
            QVERIFY(state.isBusy()); // the run still holds it
        }
        QVERIFY(!state.isBusy());
        QCOMPARE(state.shown, (QList<bool>{true, false}));
        try {
            base::BusyScope busy(state);
            throw base::ProgramClosing{};
        } catch (const base::ProgramClosing&) {
        }
        QVERIFY(!state.isBusy());
    }

    void eventPumpIsThrottled() {
        base::resetProgramEndForTesting();
        int delivered = 0;
        auto post = [&] {
            QMetaObject::invokeMethod(
                qApp, [&] { ++delivered; }, Qt::QueuedConnection);
        };
        post();
        base::letEventsRunNow();
        QCOMPARE(delivered, 1);
        post();
        base::letEventsRun(); // right after a pump: nothing runs yet
        QCOMPARE(delivered, 1);
        QTest::qSleep(20);
        base::letEventsRun();
        QCOMPARE(delivered, 2);
    }

    void eventPumpStopsLongOperationsOnceTheProgramEnds() {
        base::resetProgramEndForTesting();
        base::endProgram();
        QVERIFY(base::programIsEnding());
        QVERIFY_THROWS_EXCEPTION(base::ProgramClosing, base::letEventsRun());
        QVERIFY_THROWS_EXCEPTION(base::ProgramClosing, base::letEventsRunNow());
        bool finished = false;
        base::runHandler([&] {
            base::letEventsRun();
            finished = true;
        });
        QVERIFY(!finished);
        base::resetProgramEndForTesting();
        base::letEventsRunNow();
    }
};

PARVILON_TEST_MAIN(HelpersTest)
#include "tst_helpers.moc"
