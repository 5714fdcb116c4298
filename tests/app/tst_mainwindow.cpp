#include "app/ApplicationTitle.h"
#include "base/Settings.h"
#include "gui/ResultsProxy.h"
#include "gui/TextProgressBar.h"
#include "gui/Twips.h"
#include "platform/Prompts.h"
#include "tests/support/FakeTool.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGlyphRun>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>
#include <QTreeView>

using testsupport::ScriptedPrompts;

namespace {

// Presses "3. Start Extracting" and waits for the run to end.
void runToTheEnd(app::MainWindow& window) {
    window.controls().startExtraction->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy(), 120000);
}

// Keeps the window busy with a run whose tool hangs, until it goes: then the window closes,
// which ends the run and kills the tool.
class HangingRun {
public:
    HangingRun(testsupport::TestServices& services, app::MainWindow& busyWindow)
        : window(busyWindow),
          tool(services.folders.programFolder(), testsupport::FakeTool::hangsWithChild()) {
        window.fileList().append({QStringLiteral("/hangs.pdf")});
        window.controls().startExtraction->click();
    }
    ~HangingRun() { window.close(); }
    HangingRun(const HangingRun&) = delete;
    HangingRun& operator=(const HangingRun&) = delete;

private:
    app::MainWindow& window;
    testsupport::FakeTool tool;
};

void moveMouseOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

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

    void controlsKeepTheirNamesAndCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        auto row = [](const char* name, const char* caption) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
        };
        row("ListView1", "");
        row("PushButton7", "1. Add PDF File(s)");
        row("PushButton4", "1. Add All PDF File(s) In Folder");
        row("PushButton8", "Clear List");
        row("PushButton9", "Load Sample/Example Files");
        row("PushButton6", "2. Choose PDF Properties To Extract");
        row("PushButton3", "3. Start Extracting");
        row("Frame1", "Option");
        row("Check1", "Prompt for password because PDF files are password protected");
        row("ListView2", "");
        row("PushButton1", "4. Save Results As Text File");
        row("PushButton13", "4. Save Results As Excel File");
        row("PushButton2", "Copy Results To Clipboard");
        row("PushButton5", "Clear Results");
        row("ProgressBar1", "Progress Bar");
    }
    void controlsKeepTheirNamesAndCaptions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        auto* control = window->findChild<QWidget*>(name);
        QVERIFY(control);
        QVERIFY(control->isEnabled());
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            // The caption as shown: the mnemonic's marker is not.
            QCOMPARE(QString(button->text()).remove('&'), caption);
            QCOMPARE(button->font().family(), QStringLiteral("Arial"));
            QVERIFY(button->font().bold());
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            QCOMPARE(frame->title(), caption);
        } else if (auto* bar = qobject_cast<gui::TextProgressBar*>(control)) {
            QCOMPARE(bar->text(), caption);
            QCOMPARE(bar->value(), 0);
        }
        if (qobject_cast<QPushButton*>(control))
            QCOMPARE(control->font().pointSizeF(), 11.25);
    }

    void windowFollowsThePaletteAndIsTitled() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        QCOMPARE(window->windowTitle(), QStringLiteral("Parvilon"));
        QCOMPARE(services.prompts.applicationTitle(), QStringLiteral("Parvilon"));
        QVERIFY(!window->windowIcon().isNull());
        // The designed size first; smaller is allowed, so a scaled window fits its screen.
        QCOMPARE(window->size(), QSize(536, 559));
        QVERIFY(window->minimumSizeHint().height() < 500);
        QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        // No colour of its own: the desktop's palette, light or dark.
        for (QWidget* widget : {static_cast<QWidget*>(window.get()),
                                static_cast<QWidget*>(window->controls().results),
                                static_cast<QWidget*>(window->controls().startExtraction),
                                static_cast<QWidget*>(window->controls().askForPasswords)})
            for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button,
                                    QPalette::WindowText, QPalette::Text})
                QCOMPARE(widget->palette().color(role), QApplication::palette().color(role));
        QCOMPARE(window->font().family(), QStringLiteral("Arial"));
        QCOMPARE(window->font().pointSizeF(), 9.0);
        QVERIFY(window->font().bold());
        QCOMPARE(window->controls().fileList->toolTip(),
                 QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | "
                                "line to right and out of window to reveal full names."));
        QCOMPARE(window->controls().results->toolTip(),
                 QStringLiteral("Move | line to right and out of window to reveal full names."));
    }

    // An enlarged window gives the extra height to the results and the extra width to every
    // control; the buttons keep their rows and columns.
    void anEnlargedWindowGrowsItsResults() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        const auto& c = window->controls();
        const QRect list = c.fileList->geometry();
        const QRect results = c.results->geometry();
        const int left = c.addFiles->width();
        window->resize(536 + 200, 559 + 300);
        QCOMPARE(c.fileList->height(), list.height());
        QCOMPARE(c.results->height(), results.height() + 300);
        QCOMPARE(c.results->width(), results.width() + 200);
        QVERIFY(c.addFiles->width() >= left + 99);
        QCOMPARE(c.addFiles->y(), c.addFolder->y());
    }

    void listsStartEmptyWithTheFileColumn() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        QCOMPARE(window->fileList().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("PDF File(s)"));
        QCOMPARE(window->fileList().count(), 0);
        QCOMPARE(window->results().count(), 0);
        QCOMPARE(window->results().columnCount(), 0);
    }

    void passwordOptionPersistsAcrossStarts() {
        testsupport::TestServices services;
        {
            auto first = testsupport::makeMainWindow(services);
            QVERIFY(!first->controls().askForPasswords->isChecked());
            QTest::mouseClick(first->controls().askForPasswords, Qt::LeftButton);
            QCOMPARE(base::readSetting(QStringLiteral("Check1"), QString()), QStringLiteral("1"));
            QTest::mouseClick(first->controls().askForPasswords, Qt::LeftButton);
            QCOMPARE(base::readSetting(QStringLiteral("Check1"), QString()), QStringLiteral("0"));
            QTest::mouseClick(first->controls().askForPasswords, Qt::LeftButton);
        }
        auto second = testsupport::makeMainWindow(services);
        QVERIFY(second->controls().askForPasswords->isChecked());
        QCOMPARE(base::readSetting(QStringLiteral("Check1"), QString()), QStringLiteral("1"));
    }

    void badPasswordOptionIsReportedAndLeavesTheBoxUnchecked_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("out of range") << "70000";
        QTest::newRow("not a box state") << "5";
    }
    void badPasswordOptionIsReportedAndLeavesTheBoxUnchecked() {
        QFETCH(QString, stored);
        base::writeSetting(QStringLiteral("Check1"), stored);
        testsupport::TestServices services;
        ScriptedPrompts& prompts = services.prompts;
        auto window = testsupport::makeMainWindow(services);
        QVERIFY(!window->controls().askForPasswords->isChecked());
        const auto reports = prompts.errorReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].text.contains(
            QStringLiteral("\r\nin Lanthorn2021/08/31.Form1.Form_Load at line ")));
        // The failing step is skipped; everything else of the start-up has run.
        QCOMPARE(window->windowTitle(), QStringLiteral("Parvilon"));
        QCOMPARE(window->fileList().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("PDF File(s)"));
        QCOMPARE(base::readSetting(QStringLiteral("Check1"), QString()), stored);
    }

    void sampleFilesAreRecordedOnlyWhileNoneAreRecorded() {
        testsupport::TestServices services;
        services.folders.writeFile(QStringLiteral("Samples/a.pdf"), "%PDF-1.4\n");
        auto window = testsupport::makeMainWindow(services);
        const QString recorded = base::readSetting(QStringLiteral("Snapshot"), QString());
        QVERIFY(!recorded.isEmpty());
        services.folders.writeFile(QStringLiteral("Samples/b.pdf"), "%PDF-1.4\n");
        auto next = testsupport::makeMainWindow(services);
        QCOMPARE(base::readSetting(QStringLiteral("Snapshot"), QString()), recorded);
    }

    void buttonsShowTheHandCursorUnlessBusy() {
        testsupport::TestServices services;
        services.folders.addSideFile(QStringLiteral("HAND-M.CUR"));
        auto window = testsupport::makeMainWindow(services);
        window->show();
        QVERIFY(window->customCursor().has_value());

        moveMouseOver(window->controls().addFiles);
        QCOMPARE(window->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(window->cursor().hotSpot(), QPoint(5, 1));
        moveMouseOver(window->controls().results->viewport());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        moveMouseOver(window->controls().saveWorkbook);
        moveMouseOver(window->controls().optionFrame);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        moveMouseOver(window->controls().saveWorkbook);
        moveMouseOver(window.get());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);

        const HangingRun busy(services, *window);
        for (QWidget* over :
             {static_cast<QWidget*>(window->controls().startExtraction),
              window->controls().fileList->viewport(), static_cast<QWidget*>(window.get()),
              static_cast<QWidget*>(window->controls().optionFrame)}) {
            moveMouseOver(over);
            QCOMPARE(window->cursor().shape(), Qt::WaitCursor);
        }
    }

    void withoutTheCursorFileButtonsShowTheDefault() {
        testsupport::TestServices services;
        ScriptedPrompts& prompts = services.prompts;
        auto window = testsupport::makeMainWindow(services);
        QVERIFY(!window->customCursor().has_value());
        moveMouseOver(window->controls().addFiles);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(prompts.shown.isEmpty());
    }

    void anUnreadableCursorFileIsReported() {
        testsupport::TestServices services;
        services.folders.writeFile(QStringLiteral("HAND-M.CUR"), "not a picture");
        ScriptedPrompts& prompts = services.prompts;
        auto window = testsupport::makeMainWindow(services);
        QVERIFY(!window->customCursor().has_value());
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(QStringLiteral("HAND-M.CUR")));
        QCOMPARE(window->fileList().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("PDF File(s)"));
    }

    void skinFileGivesTheMainWindowTheButtonFace() {
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QVERIFY(buttonFace != QApplication::palette().color(QPalette::Base));
        {
            testsupport::TestServices services;
            services.folders.writeFile(QStringLiteral("x/o.cjs"), "skin");
            auto window = testsupport::makeMainWindow(services);
            QCOMPARE(window->palette().color(QPalette::Window), buttonFace);
            QCOMPARE(window->controls().optionFrame->palette().color(QPalette::Window), buttonFace);
            QCOMPARE(window->controls().askForPasswords->palette().color(QPalette::Window),
                     buttonFace);
            // Buttons, lists and the progress bar keep the desktop's colours.
            QCOMPARE(window->controls().fileList->palette().color(QPalette::Base),
                     QApplication::palette().color(QPalette::Base));
            QCOMPARE(window->controls().progress->palette().color(QPalette::Base),
                     QApplication::palette().color(QPalette::Base));
            // What is painted, not only the palette: the option's frame and box are grey too.
            const QImage painted = window->grab().toImage();
            for (QWidget* plain : {static_cast<QWidget*>(window->controls().optionFrame),
                                   static_cast<QWidget*>(window->controls().askForPasswords)}) {
                const QPoint inside =
                    plain->mapTo(window.get(), QPoint(plain->width() - 3, plain->height() - 2));
                QVERIFY2(painted.pixelColor(inside) == buttonFace,
                         qPrintable(plain->objectName() + " is painted " +
                                    painted.pixelColor(inside).name()));
            }
        }
        {
            testsupport::TestServices services;
            QVERIFY(QDir(services.folders.programFolder())
                        .mkpath(QStringLiteral("x/o.cjs"))); // a folder, no skin
            auto window = testsupport::makeMainWindow(services);
            QCOMPARE(window->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Window));
            QCOMPARE(window->controls().askForPasswords->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Window));
        }
    }

    void deleteKeyRemovesTheSelectedResultUnlessBusy() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        base::ResultsModel& results = window->results();
        const auto fill = [&] {
            results.setColumns({base::Property::Title});
            for (const char* path : {"/a.pdf", "/b.pdf", "/c.pdf"})
                results.appendRow(QLatin1String(path));
        };
        QTreeView* view = window->controls().results;
        const auto press = [&](int key) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(view, &event);
        };
        fill();
        view->setCurrentIndex(window->shownResults().index(1, 0));
        press(Qt::Key_Backspace);
        QCOMPARE(results.count(), 3);
        press(Qt::Key_Delete);
        QCOMPARE(results.path(0) + results.path(1), QStringLiteral("/a.pdf/c.pdf"));
        view->clearSelection();
        press(Qt::Key_Delete);
        QCOMPARE(results.count(), 2);
        // While a run goes on, the Delete key is refused; "Clear Results" is not.
        const HangingRun busy(services, *window);
        fill();
        view->setCurrentIndex(window->shownResults().index(1, 0));
        press(Qt::Key_Delete);
        QCOMPARE(results.count(), 3);
        QTest::mouseClick(window->controls().clearResults, Qt::LeftButton);
        QCOMPARE(results.count(), 0);
        QCOMPARE(results.columnCount(), 2);
    }

    // Clicking a header sorts the results by it, and what goes out follows the order shown.
    void clickingAHeaderSortsTheResults() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        base::ResultsModel& results = window->results();
        results.setColumns({base::Property::Pages});
        for (const auto& [path, pages] : {std::pair{"/a.pdf", 12}, {"/b.pdf", 9}, {"/c.pdf", 100}})
            results.setCell(results.appendRow(QLatin1String(path)), 1,
                            base::CellValue::integer(pages));
        QHeaderView* header = window->controls().results->header();
        QCOMPARE(header->sortIndicatorSection(), -1); // unsorted until asked
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(results.snapshot().rows[0].path, QStringLiteral("/b.pdf"));
        QCOMPARE(results.snapshot().rows[2].path, QStringLiteral("/c.pdf"));
        // New columns (the next run) start unsorted again.
        results.setColumns({});
        QCOMPARE(header->sortIndicatorSection(), -1);
    }

    // The samples are the first thing a user tries: the Japanese title must be drawn with
    // glyphs of some installed font, not as empty boxes.
    void theSamplesReadAsTextOnThisMachine() {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + "/pdftk"))
            QSKIP("our own tool is not built");
        // The build folder as the program folder: its samples, recorded at the first start, and
        // our tool.
        testsupport::TestServices services(QCoreApplication::applicationDirPath());
        auto window = testsupport::makeMainWindow(services);
        window->show();
        ScriptedPrompts& prompts = services.prompts;
        prompts.yesNoAnswers.enqueue(false); // do not open the samples folder
        QTest::mouseClick(window->controls().addSamples, Qt::LeftButton);
        QVERIFY(window->fileList().count() >= 7);
        runToTheEnd(*window);
        const base::ResultsModel& results = window->results();
        int tokyo = -1;
        for (int row = 0; row < results.count(); ++row)
            if (results.path(row).endsWith("/Meeting Minutes Tokyo.pdf"))
                tokyo = row;
        QVERIFY(tokyo >= 0);
        const QString title = results.cell(tokyo, results.columnOf(base::Property::Title)).text();
        QCOMPARE(title, QString::fromUtf8("東京支社 定例会議 議事録"));
        // Laid out as the view lays it out, with the fonts fontconfig falls back to: glyph 0
        // is the empty box a font shows for a character it lacks.
        QTextLayout layout(title, window->controls().results->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes()) {
                ++glyphs;
                QVERIFY2(glyph != 0,
                         qPrintable("no installed font has a glyph for a character of " + title +
                                    " (install fonts-wqy-microhei)"));
            }
        }
        QCOMPARE(glyphs, title.size());
    }

    // Every control stays usable during a run; those that would harm it refuse.
    void whatAUserDoesDuringARunIsSafe() {
        testsupport::TestServices services;
        testsupport::FakeTool tool(services.folders.programFolder(),
                                   "sleep 0.8; " + testsupport::FakeTool::writesDump("T", 1));
        ScriptedPrompts& prompts = services.prompts;
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), i == 4 ? "1" : "0");
        auto window = testsupport::makeMainWindow(services);
        // Two tools side by side: files 1-2 run until 0.8 s, 3-4 until 1.6 s, 5-6 until 2.4 s.
        window->parallelTools = 2;
        window->show();
        window->fileList().append({"/1.pdf", "/2.pdf", "/3.pdf", "/4.pdf", "/5.pdf", "/6.pdf"});
        window->controls().fileList->setCurrentIndex(window->fileList().index(0, 0));
        int step = 0;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            switch (step++) {
            case 0: // a second start is refused
                QTest::mouseClick(window->controls().startExtraction, Qt::LeftButton);
                break;
            case 1: // the file list cannot shrink under the run
                QTest::mouseClick(window->controls().clearList, Qt::LeftButton);
                QTest::mouseDClick(window->controls().fileList->viewport(), Qt::LeftButton);
                break;
            case 2: { // the Delete key on the results table is refused while busy
                window->controls().results->setCurrentIndex(window->shownResults().index(0, 0));
                QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
                QApplication::sendEvent(window->controls().results, &del);
                break;
            }
            case 3: // "Clear Results" empties the table under the run, once it holds rows
                if (window->results().count() == 0 && tool.calls() < 6) {
                    --step; // a loaded machine started the tools late: the next tick
                    break;
                }
                QTest::mouseClick(window->controls().clearResults, Qt::LeftButton);
                break;
            case 4: // a file added meanwhile is not part of this run
                prompts.openFilesAnswers.enqueue({"/7.pdf"});
                QTest::mouseClick(window->controls().addFiles, Qt::LeftButton);
                break;
            }
        });
        user.start(250);
        runToTheEnd(*window);
        user.stop();
        QVERIFY(step >= 5);
        QCOMPARE(tool.calls(), 6);
        QCOMPARE(window->fileList().count(), 7);
        // The clearing took the rows made before it; those made after it remain, in list
        // order, ticked and filled, whenever each file's tool ran.
        const int left = window->results().count();
        QVERIFY(left < 6);
        for (int row = 0; row < left; ++row) {
            QCOMPARE(window->results().path(row),
                     QStringLiteral("/%1.pdf").arg(6 - left + 1 + row));
            QVERIFY(window->results().isTicked(row));
            QCOMPARE(window->results().cell(row, 1), base::CellValue("T"));
        }
        QVERIFY(prompts.errorReports().isEmpty());
    }

    // A sort clicked during a run holds for the rows that come after it, and the ways out
    // take the order shown.
    void aSortClickedDuringARunIsKept() {
        testsupport::TestServices services;
        // Each file's title is its name; the page count is the reverse of the list order.
        testsupport::FakeTool tool(
            services.folders.programFolder(),
            "sleep 0.1; n=$(basename \"$1\" .pdf); printf 'InfoBegin\\nInfoKey: "
            "Title\\nInfoValue: %s\\nNumberOfPages: %s\\n' \"$n\" "
            "$((100 - n)) > \"$out\"");
        ScriptedPrompts& prompts = services.prompts;
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), i == 4 || i == 8 ? "1" : "0");
        auto window = testsupport::makeMainWindow(services);
        window->parallelTools = 2;
        window->show();
        for (int file = 1; file <= 12; ++file)
            window->fileList().append({QStringLiteral("/%1.pdf").arg(file)});
        QHeaderView* header = window->controls().results->header();
        QTimer::singleShot(300, window.get(), [&] {
            // By page count, ascending: the rows to come have ever fewer pages.
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        });
        runToTheEnd(*window);
        QCOMPARE(header->sortIndicatorSection(), 2);
        const base::ResultsSnapshot shown = window->results().snapshot();
        QCOMPARE(shown.rowCount(), 12);
        for (int row = 0; row < 12; ++row)
            QCOMPARE(shown.rows[row].path, QStringLiteral("/%1.pdf").arg(12 - row));
        QVERIFY(prompts.errorReports().isEmpty());
    }

    // Closing the window in the middle of a run ends it at once: the tool and its children
    // are killed, and nothing more happens.
    void closingDuringALongOperationEndsItAtOnce() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        testsupport::FakeTool tool(services.folders.programFolder(),
                                   testsupport::FakeTool::hangsWithChild());
        window->fileList().append({"/1.pdf", "/2.pdf"});
        window->controls().startExtraction->click();
        QVERIFY(window->isBusy());
        QTRY_VERIFY(tool.childPid() > 0);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(window->close());
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(!window->isVisible());
        QVERIFY(!window->isBusy());
        QTRY_VERIFY(!testsupport::FakeTool::processAlive(tool.childPid()));
        QTest::qWait(200);
        QVERIFY(services.prompts.ofKind(ScriptedPrompts::Kind::Message).isEmpty()); // no "Done."
    }
};

PARVILON_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
