// The results as the window shows them: the filter and its toggle, the status line, what the
// keys, the menus and a double-click do, the columns, and how a run ends.
#include "base/Settings.h"
#include "gui/ResultsDelegate.h"
#include "gui/ResultsProxy.h"
#include "tests/support/FakeTool.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

using testsupport::ScriptedPrompts;

namespace {

struct Window {
    testsupport::TestServices services;
    std::unique_ptr<app::MainWindow> window = testsupport::makeMainWindow(services);
    base::ResultsModel& results = window->results();
    QTreeView* view = window->controls().results;

    // Three ticked rows, the second of a file that could not be read.
    Window() {
        window->show();
        results.setColumns({base::Property::Title, base::Property::Pages});
        const char* titles[] = {"Alpha <draft>", "Beta", "alphabet"};
        const char* paths[] = {"/docs/a.pdf", "/docs/b.pdf", "/other/c.pdf"};
        for (int row = 0; row < 3; ++row) {
            results.appendRow(QLatin1String(paths[row]));
            results.setCell(row, 1, QString::fromLatin1(titles[row]));
            results.setCell(row, 2, base::CellValue::integer(10 - row));
        }
        results.markUnread(1, QStringLiteral("The file is damaged."));
        results.tickAll();
    }
    const app::MainWindowControls& controls() const { return window->controls(); }
    QString status() const {
        QTest::qWait(150); // the status line follows a few times a second
        return controls().status->text();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view, key, modifiers);
        QTRY_VERIFY(!window->isBusy());
    }
    // Clicks the action of the popup menu that opens next, by its text.
    static void chooseInNextMenu(const QString& text) {
        QTimer::singleShot(100, [text] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                if (action->text().remove('&') == text)
                    action->trigger();
            menu->close();
        });
    }
};

} // namespace

class WindowResultsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    // The filter keeps rows with a cell containing the text in any letter case, the toggle
    // only the unread ones; the status line counts, and the ways out take what is shown, in
    // the order shown.
    void theFilterNarrowsTheRowsAndWhatGoesOut() {
        Window w;
        QCOMPARE(w.status(), QStringLiteral("0 files, 2 read, 1 could not be read, 3 shown"));
        w.controls().filter->setText(QStringLiteral("ALPHA"));
        QCOMPARE(w.window->shownResults().rowCount(), 2);
        QCOMPARE(w.status(), QStringLiteral("0 files, 2 read, 1 could not be read, 2 shown"));
        // Sorted by page count, ascending: c (8 pages) before a (10).
        w.view->header()->setSortIndicator(2, Qt::AscendingOrder);
        w.controls().copyToClipboard->click();
        QTRY_VERIFY(!w.window->isBusy());
        QCOMPARE(
            w.services.clipboard.text,
            QByteArray("/other/c.pdf\talphabet     \t8\r\n/docs/a.pdf \tAlpha <draft>\t10\r\n"));
        // A row that comes later takes its place among those shown.
        w.results.setCell(w.results.appendRow(QStringLiteral("/z.pdf")), 1, "ALPHA");
        QCOMPARE(w.window->shownResults().rowCount(), 3);
        w.controls().filter->clear();
        w.controls().onlyUnread->setChecked(true);
        QCOMPARE(w.window->shownResults().rowCount(), 1);
        QCOMPARE(w.results.path(w.window->shownResults().sourceRow(0)), "/docs/b.pdf");
        // The unread row says why to screen readers too.
        QCOMPARE(w.window->shownResults().index(0, 1).data(Qt::AccessibleDescriptionRole),
                 QVariant(QStringLiteral("Could not be read: The file is damaged.")));
    }

    // Ctrl+C copies the selected rows, ticked or not, as the clipboard's aligned text with an
    // HTML table beside it; Space ticks the current row from any column.
    void theKeysCopyAndTickTheSelection() {
        Window w;
        w.results.setTicked(2, false);
        QItemSelectionModel* selection = w.view->selectionModel();
        for (const int row : {0, 2})
            selection->select(w.window->shownResults().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w.key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(
            w.services.clipboard.text,
            QByteArray("/docs/a.pdf \tAlpha <draft>\t10\r\n/other/c.pdf\talphabet     \t8\r\n"));
        const QString& html = w.services.clipboard.html;
        QVERIFY(html.contains("<tr><th>Filename</th><th>Title</th><th>Number Of Pages</th></tr>"));
        QVERIFY(
            html.contains("<tr><td>/docs/a.pdf</td><td>Alpha &lt;draft&gt;</td><td>10</td></tr>"));
        QVERIFY(!html.contains("b.pdf"));
        QVERIFY(w.services.prompts.shown.isEmpty()); // no box for a key
        QCOMPARE(w.status(), QStringLiteral("Copied 2 rows to the clipboard."));

        w.view->setCurrentIndex(w.window->shownResults().index(2, 2));
        w.key(Qt::Key_Space);
        QVERIFY(w.results.isTicked(2));
        w.key(Qt::Key_Space);
        QVERIFY(!w.results.isTicked(2));
    }

    // A double-click opens the file; the menu opens its folder, each through the desktop.
    void filesAndFoldersOpenThroughTheDesktop() {
        Window w;
        const QRect cell = w.view->visualRect(w.window->shownResults().index(2, 1));
        QTest::mousePress(w.view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(w.view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.services.shell.openedFiles, QStringList{"/other/c.pdf"});
        w.view->selectionModel()->select(w.window->shownResults().index(0, 0),
                                         QItemSelectionModel::ClearAndSelect |
                                             QItemSelectionModel::Rows);
        Window::chooseInNextMenu(QStringLiteral("Open Containing Folder"));
        emit w.view->customContextMenuRequested(cell.center());
        QCOMPARE(w.services.shell.opened, QStringList{"/docs"});
        // A file no application opens is said so.
        w.services.shell.canOpen = false;
        QTest::mouseDClick(w.view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.services.prompts.ofKind(ScriptedPrompts::Kind::Message).size(), 1);
    }

    // The header's menu makes the same choice as the property dialog: the setting for the
    // next run, and the column of these results hidden, also from what goes out.
    void theHeaderMenuChoosesTheColumns() {
        Window w;
        Window::chooseInNextMenu(QStringLiteral("Title"));
        emit w.view->header()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(base::readSetting("Column4", "missing"), QStringLiteral("0"));
        QVERIFY(w.view->header()->isSectionHidden(1));
        w.controls().copyToClipboard->click();
        QTRY_VERIFY(!w.window->isBusy());
        QVERIFY(w.services.clipboard.text.startsWith("/docs/a.pdf \t10\r\n"));
        Window::chooseInNextMenu(QStringLiteral("Title"));
        emit w.view->header()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(base::readSetting("Column4", "missing"), QStringLiteral("1"));
        QVERIFY(!w.view->header()->isSectionHidden(1));
    }

    // When a run ends the columns fit their contents, none wider than 40 % of the view; a
    // path cut off is shortened in its middle and shows whole as its tooltip.
    void columnsFitTheirContentsWhenARunEnds() {
        testsupport::TestServices services;
        const QString title(300, QLatin1Char('T'));
        testsupport::FakeTool tool(services.folders.programFolder(),
                                   testsupport::FakeTool::writesDump(title, 3));
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), i == 4 || i == 8 ? "1" : "0");
        auto window = testsupport::makeMainWindow(services);
        window->show();
        const QString longPath = "/" + QString(40, 'd') + "/" + QString(40, 'e') + "/name.pdf";
        window->fileList().append({longPath, "/short.pdf"});
        window->controls().startExtraction->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 20000);
        QTreeView* view = window->controls().results;
        const int viewWidth = view->viewport()->width();
        QHeaderView* header = view->header();
        QVERIFY(header->sectionSize(1) <= viewWidth * 0.4 + 1);
        QVERIFY(header->sectionSize(0) <= viewWidth * 0.4 + 1);
        QVERIFY(header->sectionSize(0) >= header->sectionSizeHint(0));
        QVERIFY(header->stretchLastSection());
        // A wider window fits them again, until the user drags a divider.
        const int titleWidth = header->sectionSize(1);
        window->resize(window->width() + 400, window->height());
        QTRY_VERIFY(header->sectionSize(1) > titleWidth + 100);
        // The tooltip of the cut-off path is the whole path; a cell that fits has none of its
        // own.
        const QModelIndex path = window->shownResults().index(0, 0);
        QVERIFY(window->results().path(0) == longPath);
        QHelpEvent help(QEvent::ToolTip, view->visualRect(path).center(),
                        view->viewport()->mapToGlobal(view->visualRect(path).center()));
        QApplication::sendEvent(view->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), longPath);
        auto* delegate = static_cast<gui::ResultsDelegate*>(view->itemDelegate());
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualRect(window->shownResults().index(1, 2));
        QVERIFY(!delegate->isCutOff(option, window->shownResults().index(1, 2)));
        QCOMPARE(services.prompts.ofKind(ScriptedPrompts::Kind::Message).size(), 1); // Done.
    }

    // The final box names up to ten unread files with their reasons and offers to show only
    // those.
    void theFinalBoxNamesTheUnreadFiles() {
        testsupport::TestServices services;
        testsupport::FakeTool tool(services.folders.programFolder(),
                                   "case \"$1\" in */ok.pdf) " +
                                       testsupport::FakeTool::writesDump("T", 1) +
                                       ";; *) echo 'Error: not a PDF' >&2; exit 1;; esac");
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), i == 4 ? "1" : "0");
        auto window = testsupport::makeMainWindow(services);
        window->fileList().append({"/ok.pdf"});
        for (int i = 1; i <= 11; ++i)
            window->fileList().append({QStringLiteral("/bad%1.pdf").arg(i)});
        services.prompts.yesNoAnswers.enqueue(true);
        window->controls().startExtraction->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 20000);
        const auto asked = services.prompts.ofKind(ScriptedPrompts::Kind::YesNo);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].text.startsWith("Done.\r\n11 files could not be read."),
                 qPrintable(asked[0].text));
        QVERIFY(asked[0].text.contains("\rbad1.pdf: "));
        QVERIFY(asked[0].text.contains("\rbad10.pdf: "));
        QVERIFY(!asked[0].text.contains("bad11.pdf"));
        QVERIFY(asked[0].text.contains("(and 1 more)"));
        QVERIFY(window->controls().onlyUnread->isChecked());
        QCOMPARE(window->shownResults().rowCount(), 11);
    }

    // Escape (or Stop) ends a run after the files being read: the rows so far stay, and the
    // run ends as usual.
    void escapeStopsARun() {
        testsupport::TestServices services;
        testsupport::FakeTool tool(services.folders.programFolder(),
                                   "sleep 0.3; " + testsupport::FakeTool::writesDump("T", 1));
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), i == 4 ? "1" : "0");
        auto window = testsupport::makeMainWindow(services);
        window->parallelTools = 1;
        window->show();
        QVERIFY(!window->controls().stop->isEnabled());
        for (int i = 1; i <= 10; ++i)
            window->fileList().append({QStringLiteral("/%1.pdf").arg(i)});
        window->controls().startExtraction->click();
        QVERIFY(window->controls().stop->isEnabled());
        QTRY_VERIFY(window->results().count() >= 1);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 10000);
        QVERIFY(window->results().count() < 10);
        QVERIFY(!window->controls().stop->isEnabled());
        QCOMPARE(services.prompts.ofKind(ScriptedPrompts::Kind::Message).size(), 1); // Done.
    }
};

PARVILON_TEST_MAIN(WindowResultsTest)
#include "tst_windowresults.moc"
