#include "base/ErrorReport.h"
#include "tests/support/TestMain.h"

using testsupport::ScriptedPrompts;

class ErrorReportTest : public QObject {
    Q_OBJECT
private slots:
    void init() { base::resetProgramEndForTesting(); }

    void reportTextIsLaidOutExactly() {
        QCOMPARE(base::ErrorReport::reportText(QStringLiteral("Type mismatch"),
                                               QStringLiteral("Lanthorn2021/08/31"),
                                               QStringLiteral("Form1.PushButton9_Click"), 12),
                 QStringLiteral("Type mismatch\r\nin Lanthorn2021/08/31.Form1.PushButton9_Click at "
                                "line 12\r\rPlease email screenshot of this message to "
                                "support@parvilon.org"));
    }

    void aFailingStepIsReportedAndTheNextStepRuns() {
        ScriptedPrompts prompts;
        base::ErrorReport errors(QStringLiteral("Form1.PushButton4_Click"));
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
        QCOMPARE(reports[0].text,
                 base::ErrorReport::reportText(
                     QStringLiteral("Path not found"), QStringLiteral("Lanthorn2021/08/31"),
                     QStringLiteral("Form1.PushButton4_Click"), failingLine));
        QVERIFY(reports[1].text.startsWith(QStringLiteral("vector index\r\n")));
        QVERIFY(reports[2].text.startsWith(QStringLiteral("Unexpected error\r\n")));
    }

    void otherModulesNameThemselves() {
        ScriptedPrompts prompts;
        base::ErrorReport errors(QStringLiteral("AddFolder.GetSubDirectories2016"),
                                 QStringLiteral("Brisklet2021/08/31"));
        errors.step([] { throw base::RunTimeError(QStringLiteral("x")); });
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(
            QStringLiteral("\r\nin Brisklet2021/08/31.AddFolder.GetSubDirectories2016 at line ")));
    }

    void theEndOfTheProgramIsNoErrorToReport() {
        ScriptedPrompts prompts;
        base::ErrorReport errors(QStringLiteral("Form1.PushButton3_Click"));
        QStringList ran;
        base::runHandler([&] {
            errors.step([&] { ran << "step 1"; });
            errors.step([&] { throw base::ProgramClosing{}; });
            errors.step([&] { ran << "step 3"; });
        });
        QCOMPARE(ran, QStringList{"step 1"});
        QVERIFY(prompts.shown.isEmpty());
    }
};

PARVILON_TEST_MAIN(ErrorReportTest)
#include "tst_errorreport.moc"
