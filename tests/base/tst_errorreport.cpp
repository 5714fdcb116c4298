#include "base/ErrorReport.h"
#include "base/Progress.h"
#include "tests/support/TestMain.h"

#include <thread>

using testsupport::ScriptedPrompts;

class ErrorReportTest : public QObject {
    Q_OBJECT
private slots:
    void reportTextIsLaidOutExactly() {
        QCOMPARE(base::ErrorReport::reportText(QStringLiteral("Type mismatch"),
                                               {QStringLiteral("Lanthorn2021/08/31"),
                                                QStringLiteral("Form1.PushButton9_Click"), 12}),
                 QStringLiteral("Type mismatch\r\nin Lanthorn2021/08/31.Form1.PushButton9_Click at "
                                "line 12\r\rPlease email screenshot of this message to "
                                "support@parvilon.org"));
    }

    void aFailingStepIsReportedAndTheNextStepRuns() {
        ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton4_Click"));
        QStringList ran;
        QVERIFY(errors.step([&] { ran << "first"; }));
        const unsigned failingLine = __LINE__ + 1;
        QVERIFY(!errors.step([&] { throw base::RunTimeError(QStringLiteral("Path not found")); }));
        QVERIFY(errors.step([&] { ran << "third"; }));
        QVERIFY(!errors.step([&] { throw std::logic_error("vector index"); }));
        QVERIFY(!errors.step([&] { throw 42; }));

        QCOMPARE(ran, (QStringList{"first", "third"}));
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 3);
        QCOMPARE(reports[0].icon, platform::MessageIcon::Warning);
        QCOMPARE(reports[0].text, base::ErrorReport::reportText(
                                      QStringLiteral("Path not found"),
                                      {QStringLiteral("Lanthorn2021/08/31"),
                                       QStringLiteral("Form1.PushButton4_Click"), failingLine}));
        QVERIFY(reports[1].text.startsWith(QStringLiteral("vector index\r\n")));
        QVERIFY(reports[2].text.startsWith(QStringLiteral("Unexpected error\r\n")));
    }

    void otherModulesAndProceduresNameThemselves() {
        ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("AddFolder.GetSubDirectories2016"),
                                       QStringLiteral("Brisklet2021/08/31"));
        errors.step([] { throw base::RunTimeError(QStringLiteral("x")); });
        errors.renamed(QStringLiteral("AddFolder.Walk")).report(QStringLiteral("y"));
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].text.contains(
            QStringLiteral("\r\nin Brisklet2021/08/31.AddFolder.GetSubDirectories2016 at line ")));
        QVERIFY(reports[1].text.startsWith(
            QStringLiteral("y\r\nin Brisklet2021/08/31.AddFolder.Walk at line ")));
    }

    // A long operation asked to stop ends at the step it is in: the stop passes through
    // every step and is no error to report.
    void aStopIsNoErrorToReport() {
        ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton3_Click"));
        base::StopRequest stop;
        QStringList ran;
        const auto operation = [&] {
            errors.step([&] { ran << "step 1"; });
            stop.request();
            errors.step([&] { stop.throwIfRequested(); });
            errors.step([&] { ran << "step 3"; });
        };
        QVERIFY_THROWS_EXCEPTION(base::Stopped, operation());
        QCOMPARE(ran, QStringList{"step 1"});
        QVERIFY(prompts.shown.isEmpty());
    }

    // Work in another thread reports into a collection; the reports reach the window's sink
    // later, each once and in the order made.
    void errorsCollectedInAThreadArePassedOnInOrder() {
        ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton5_Click"));
        base::CollectedErrors collected;
        std::thread worker([&] {
            const base::ErrorReport inThread = errors.reportingTo(collected);
            for (int i = 0; i < 100; ++i)
                inThread.report(QStringLiteral("error %1").arg(i));
        });
        worker.join();
        QVERIFY(prompts.shown.isEmpty());
        collected.passOn(prompts);
        collected.passOn(prompts);
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 100);
        for (int i = 0; i < reports.size(); ++i)
            QVERIFY2(reports[i].text.startsWith(QStringLiteral("error %1\r\nin Lanthorn2021/08/31."
                                                               "Form1.PushButton5_Click at line ")
                                                    .arg(i)),
                     qPrintable(reports[i].text));
    }
};

PARVILON_TEST_MAIN(ErrorReportTest)
#include "tst_errorreport.moc"
