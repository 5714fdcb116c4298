#include "app/BusyState.h"
#include "app/EventPump.h"
#include "app/Settings.h"
#include "platform/Prompts.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>

using testsupport::ScriptedPrompts;

namespace {
void moveMouseOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testsupport::clearSettings();
        app::resetProgramEndForTesting();
    }

    void layoutMatchesTheDesign_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twipsGeometry");
        auto row = [](const char* name, const char* caption, int l, int t, int w, int h) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                                << QRect(l, t, w, h);
        };
        row("ListView1", "", 120, 120, 7800, 1815);
        row("PushButton7", "1. Add PDF File(s)", 120, 2040, 3840, 405);
        row("PushButton4", "1. Add All PDF File(s) In Folder", 4080, 2040, 3840, 405);
        row("PushButton8", "Clear List", 120, 2550, 3840, 405);
        row("PushButton9", "Load Sample/Example Files", 4080, 2550, 3840, 405);
        row("PushButton6", "2. Choose PDF Properties To Extract", 120, 3075, 7800, 405);
        row("PushButton3", "3. Start Extracting", 120, 3600, 7800, 405);
        row("Frame1", "Option", 120, 4065, 7800, 735);
        row("Check1", "Prompt for password because PDF files are password protected", 240, 300,
            6015, 255);
        row("ListView2", "", 120, 4905, 7800, 1815);
        row("PushButton1", "4. Save Results As Text File", 120, 6810, 3840, 405);
        row("PushButton13", "4. Save Results As Excel File", 4080, 6810, 3840, 405);
        row("PushButton2", "Copy Results To Clipboard", 120, 7335, 3840, 405);
        row("PushButton5", "Clear Results", 4080, 7335, 3840, 405);
        row("ProgressBar1", "Progress Bar", 120, 7860, 7800, 405);
    }
    void layoutMatchesTheDesign() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twipsGeometry);
        auto window = testsupport::makeMainWindow();
        auto* control = window->findChild<QWidget*>(name);
        QVERIFY(control);
        const QRect expected(app::twips(twipsGeometry.x()), app::twips(twipsGeometry.y()),
                             app::twips(twipsGeometry.width()), app::twips(twipsGeometry.height()));
        QCOMPARE(control->geometry(), expected);
        QVERIFY(control->isEnabled());
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->font().family(), QStringLiteral("Arial"));
            QVERIFY(button->font().bold());
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            QCOMPARE(frame->title(), caption);
        } else if (auto* bar = qobject_cast<platform::TextProgressBar*>(control)) {
            QCOMPARE(bar->text(), caption);
            QCOMPARE(bar->value(), 0);
        }
        if (qobject_cast<QPushButton*>(control))
            QCOMPARE(control->font().pointSizeF(), 11.25);
    }

    void windowIsFixedWhiteAndTitled() {
        auto window = testsupport::makeMainWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Parvilon"));
        QCOMPARE(platform::applicationTitle(), QStringLiteral("Parvilon"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->size(), QSize(536, 559));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window->Frame1->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window->Check1->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window->PushButton3->palette().color(QPalette::Button), QColor(Qt::white));
        QCOMPARE(window->font().family(), QStringLiteral("Arial"));
        QCOMPARE(window->font().pointSizeF(), 9.0);
        QVERIFY(window->font().bold());
        QCOMPARE(window->ListView1->toolTip(),
                 QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | "
                                "line to right and out of window to reveal full names."));
        QCOMPARE(window->ListView2->toolTip(),
                 QStringLiteral("Move | line to right and out of window to reveal full names."));
    }

    void listsStartEmptyWithTheFileColumn() {
        auto window = testsupport::makeMainWindow();
        QCOMPARE(window->ListView1->columnCount(), 1);
        QCOMPARE(window->ListView1->headerItem()->text(0), QStringLiteral("PDF File(s)"));
        QCOMPARE(window->ListView1->header()->sectionSize(0), app::twips(7000));
        QCOMPARE(window->ListView1->topLevelItemCount(), 0);
        QCOMPARE(window->ListView2->topLevelItemCount(), 0);
        QCOMPARE(window->ListView2->columnCount(), 0);
    }

    void passwordOptionPersistsAcrossStarts() {
        {
            auto first = testsupport::makeMainWindow();
            QVERIFY(!first->Check1->isChecked());
            QTest::mouseClick(first->Check1, Qt::LeftButton);
            QCOMPARE(app::ReadSetting(QStringLiteral("Check1"), QString()), QStringLiteral("1"));
            QTest::mouseClick(first->Check1, Qt::LeftButton);
            QCOMPARE(app::ReadSetting(QStringLiteral("Check1"), QString()), QStringLiteral("0"));
            QTest::mouseClick(first->Check1, Qt::LeftButton);
        }
        auto second = testsupport::makeMainWindow();
        QVERIFY(second->Check1->isChecked());
        QCOMPARE(app::ReadSetting(QStringLiteral("Check1"), QString()), QStringLiteral("1"));
    }

    void badPasswordOptionIsReportedAndLeavesTheBoxUnchecked_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("out of range") << "70000";
        QTest::newRow("not a box state") << "5";
    }
    void badPasswordOptionIsReportedAndLeavesTheBoxUnchecked() {
        QFETCH(QString, stored);
        app::WriteSetting(QStringLiteral("Check1"), stored);
        ScriptedPrompts prompts;
        auto window = testsupport::makeMainWindow();
        QVERIFY(!window->Check1->isChecked());
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].text.contains(
            QStringLiteral("\r\nin Lanthorn2021/08/31.Form1.Form_Load at line ")));
        // The failing step is skipped; everything else of the start-up has run.
        QCOMPARE(window->windowTitle(), QStringLiteral("Parvilon"));
        QCOMPARE(window->ListView1->columnCount(), 1);
        QCOMPARE(app::ReadSetting(QStringLiteral("Check1"), QString()), stored);
    }

    void sampleFilesAreRecordedOnlyWhileNoneAreRecorded() {
        int recorded = 0;
        auto window = testsupport::makeMainWindow(false);
        window->RecordSampleFiles = [&] { ++recorded; };
        window->Form_Load();
        QCOMPARE(recorded, 1);

        app::WriteSetting(QStringLiteral("Snapshot"), QStringLiteral("scrambled"));
        auto next = testsupport::makeMainWindow(false);
        next->RecordSampleFiles = [&] { ++recorded; };
        next->Form_Load();
        QCOMPARE(recorded, 1);
    }

    void buttonsShowTheHandCursorUnlessBusy() {
        testsupport::ProgramFolder folder;
        folder.addSideFile(QStringLiteral("HAND-M.CUR"));
        auto window = testsupport::makeMainWindow();
        QVERIFY(window->customCursor().has_value());

        moveMouseOver(window->PushButton7);
        QCOMPARE(window->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(window->cursor().hotSpot(), QPoint(5, 1));
        moveMouseOver(window->ListView2->viewport());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        moveMouseOver(window->PushButton13);
        moveMouseOver(window->Frame1);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        moveMouseOver(window->PushButton13);
        moveMouseOver(window.get());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);

        app::BusyScope busy(window.get());
        for (QWidget* over :
             {static_cast<QWidget*>(window->PushButton3), window->ListView1->viewport(),
              static_cast<QWidget*>(window.get()), static_cast<QWidget*>(window->Frame1)}) {
            moveMouseOver(over);
            QCOMPARE(window->cursor().shape(), Qt::WaitCursor);
        }
    }

    void withoutTheCursorFileButtonsShowTheDefault() {
        testsupport::ProgramFolder emptyFolder;
        ScriptedPrompts prompts;
        auto window = testsupport::makeMainWindow();
        QVERIFY(!window->customCursor().has_value());
        moveMouseOver(window->PushButton7);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(prompts.shown.isEmpty());
    }

    void anUnreadableCursorFileIsReported() {
        testsupport::ProgramFolder folder;
        folder.writeFile(QStringLiteral("HAND-M.CUR"), "not a picture");
        ScriptedPrompts prompts;
        auto window = testsupport::makeMainWindow();
        QVERIFY(!window->customCursor().has_value());
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(QStringLiteral("HAND-M.CUR")));
        QCOMPARE(window->ListView1->columnCount(), 1);
    }

    void skinFileGivesTheMainWindowTheButtonFace() {
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QVERIFY(buttonFace != QColor(Qt::white));
        {
            testsupport::ProgramFolder folder;
            folder.writeFile(QStringLiteral("x/o.cjs"), "skin");
            auto window = testsupport::makeMainWindow();
            QCOMPARE(window->palette().color(QPalette::Window), buttonFace);
            QCOMPARE(window->Frame1->palette().color(QPalette::Window), buttonFace);
            QCOMPARE(window->Check1->palette().color(QPalette::Window), buttonFace);
            // Buttons, lists and the progress bar keep their design colours.
            QCOMPARE(window->PushButton1->palette().color(QPalette::Button), QColor(Qt::white));
            QCOMPARE(window->ListView1->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(window->ProgressBar1->palette().color(QPalette::Base), QColor(Qt::white));
            // What is painted, not only the palette: the option's frame and box are grey too.
            const QImage painted = window->grab().toImage();
            for (QWidget* plain :
                 {static_cast<QWidget*>(window->Frame1), static_cast<QWidget*>(window->Check1)}) {
                const QPoint inside =
                    plain->mapTo(window.get(), QPoint(plain->width() - 3, plain->height() - 2));
                QVERIFY2(painted.pixelColor(inside) == buttonFace,
                         qPrintable(plain->objectName() + " is painted " +
                                    painted.pixelColor(inside).name()));
            }
        }
        {
            testsupport::ProgramFolder folder;
            QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("x/o.cjs"))); // a folder, no skin
            auto window = testsupport::makeMainWindow();
            QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));
            QCOMPARE(window->Check1->palette().color(QPalette::Window), QColor(Qt::white));
        }
    }

    void closingDuringALongOperationEndsItAtOnce() {
        auto window = testsupport::makeMainWindow();
        window->show();
        int rounds = 0;
        bool reachedTheEnd = false;
        QTimer::singleShot(50, window.get(), [&] { window->close(); });
        QElapsedTimer clock;
        clock.start();
        app::runHandler([&] {
            app::BusyScope busy(window.get());
            while (clock.elapsed() < 5000) {
                app::letEventsRun();
                ++rounds;
            }
            reachedTheEnd = true;
        });
        QVERIFY(!reachedTheEnd);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(rounds > 0);
        QVERIFY(app::programIsEnding());
        QVERIFY(!window->isVisible());
        QVERIFY(!app::isBusy(window.get()));
    }

    void closingWhenIdleEndsTheProgram() {
        auto window = testsupport::makeMainWindow();
        window->show();
        QVERIFY(window->close());
        QVERIFY(app::programIsEnding());
    }
};

PARVILON_TEST_MAIN(Form1Test)
#include "tst_form1.moc"
