#include "app/ApplicationTitle.h"
#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/NumberText.h"
#include "app/PathHelpers.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class HelpersTest : public QObject {
    Q_OBJECT
private slots:
    void applicationTitle_data() {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("title");
        QTest::newRow("one word is kept whole") << "Parvilon"
                                                << "Parvilon";
        QTest::newRow("last word dropped") << "Parvilon PDF Tool"
                                           << "Parvilon PDF";
        QTest::newRow("two words") << "Parvilon Pro"
                                   << "Parvilon";
        QTest::newRow("cut once even when short") << "A B"
                                                  << "A";
        QTest::newRow("cut again while over 40")
            << "Parvilon Batch Document Property Reader For Desktops"
            << "Parvilon Batch Document Property Reader";
        QTest::newRow("exactly 40 after one cut")
            << QString(QStringLiteral("abcdefghij abcdefghij abcdefghij abcdefg end"))
            << QString(QStringLiteral("abcdefghij abcdefghij abcdefghij abcdefg"));
        QTest::newRow("long single word")
            << QString(50, QLatin1Char('x')) << QString(40, QLatin1Char('x'));
        QTest::newRow("long first word") << QString(45, QLatin1Char('y')) + QStringLiteral(" a b")
                                         << QString(40, QLatin1Char('y'));
    }
    void applicationTitle() {
        QFETCH(QString, product);
        QFETCH(QString, title);
        QCOMPARE(app::makeApplicationTitle(product), title);
        QVERIFY(app::makeApplicationTitle(product).size() <= 40);
    }

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
        QCOMPARE(app::FileNameOf(path), name);
    }

    void fileIsPresentForFilesAndFoldersOnly() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("é x.pdf"));
        QFile(file).open(QIODevice::WriteOnly);
        QVERIFY(app::FileIsPresent(file));
        QVERIFY(app::FileIsPresent(folder.path()));
        QVERIFY(!app::FileIsPresent(folder.filePath(QStringLiteral("missing.pdf"))));
        QVERIFY(!app::FileIsPresent(QString()));
        const QString dangling = folder.filePath(QStringLiteral("dangling"));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("nowhere")), dangling));
        QVERIFY(!app::FileIsPresent(dangling));
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
        QCOMPARE(app::numberFromText(text), number);
    }

    void textThatIsNoNumberIsAnError() {
        for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("1x"),
                                    QStringLiteral("inf"), QStringLiteral("nan")})
            QVERIFY_THROWS_EXCEPTION(app::RunTimeError, app::numberFromText(text));
    }

    void smallIntegersRoundHalfToEvenAndOverflow() {
        QCOMPARE(app::smallIntegerFromText(QStringLiteral("0.5")), 0);
        QCOMPARE(app::smallIntegerFromText(QStringLiteral("1.5")), 2);
        QCOMPARE(app::smallIntegerFromText(QStringLiteral("2.5")), 2);
        QCOMPARE(app::smallIntegerFromText(QStringLiteral("32767")), 32767);
        QVERIFY_THROWS_EXCEPTION(app::RunTimeError,
                                 app::smallIntegerFromText(QStringLiteral("32768")));
        QVERIFY_THROWS_EXCEPTION(app::RunTimeError, app::smallIntegerFromText(QStringLiteral("x")));
    }

    void busyStateIsTheHourglassAndNestedOperationsKeepIt() {
        QWidget window;
        QVERIFY(!app::isBusy(&window));
        {
            app::BusyScope outer(&window);
            QVERIFY(app::isBusy(&window));
            {
                app::BusyScope inner(&window); // a save started while a run goes on
                QVERIFY(app::isBusy(&window));
            }
            QVERIFY(app::isBusy(&window)); // the run still holds it
        }
        QVERIFY(!app::isBusy(&window));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void busyScopeEndsWhenTheOperationUnwinds() {
        QWidget window;
        try {
            app::BusyScope busy(&window);
            throw app::ProgramClosing{};
        } catch (const app::ProgramClosing&) {
        }
        QVERIFY(!app::isBusy(&window));
    }

    void eventPumpIsThrottled() {
        app::resetProgramEndForTesting();
        int delivered = 0;
        auto post = [&] {
            QMetaObject::invokeMethod(
                qApp, [&] { ++delivered; }, Qt::QueuedConnection);
        };
        post();
        app::letEventsRunNow();
        QCOMPARE(delivered, 1);
        post();
        app::letEventsRun(); // right after a pump: nothing runs yet
        QCOMPARE(delivered, 1);
        QTest::qSleep(20);
        app::letEventsRun();
        QCOMPARE(delivered, 2);
    }

    void eventPumpStopsLongOperationsOnceTheProgramEnds() {
        app::resetProgramEndForTesting();
        app::endProgram();
        QVERIFY(app::programIsEnding());
        QVERIFY_THROWS_EXCEPTION(app::ProgramClosing, app::letEventsRun());
        QVERIFY_THROWS_EXCEPTION(app::ProgramClosing, app::letEventsRunNow());
        bool finished = false;
        app::runHandler([&] {
            app::letEventsRun();
            finished = true;
        });
        QVERIFY(!finished);
        app::resetProgramEndForTesting();
        app::letEventsRunNow();
    }
};

PARVILON_TEST_MAIN(HelpersTest)
#include "tst_helpers.moc"
