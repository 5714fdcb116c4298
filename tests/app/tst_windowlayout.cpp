// The main window's layout and keyboard: nothing overlaps, left to right or right to left,
// at any size the window may take; the first size fits the screen; Tab follows the screen;
// every button has a mnemonic of its own; the shortcuts; what is remembered.
#include "app/WindowPlacement.h"
#include "base/Settings.h"
#include "gui/Mnemonics.h"
#include "gui/TextProgressBar.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>

using testsupport::ScriptedPrompts;

namespace {

// The controls a user sees and uses, in the window's coordinates.
QList<QWidget*> visibleControls(const app::MainWindow& window) {
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QTreeView*>(widget) ||
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QProgressBar*>(widget) ||
            (qobject_cast<QLabel*>(widget) && !qobject_cast<QLabel*>(widget)->text().isEmpty());
        // Parts of other controls (a line edit's clear button, a header) are left out.
        if (control && widget->isVisibleTo(&window) &&
            !qobject_cast<QAbstractButton*>(widget->parentWidget()) &&
            !qobject_cast<QLineEdit*>(widget->parentWidget()) &&
            !qobject_cast<QAbstractItemView*>(widget->parentWidget()) &&
            (!widget->parentWidget() ||
             !qobject_cast<QAbstractItemView*>(widget->parentWidget()->parentWidget())))
            controls.append(widget);
    }
    return controls;
}

QRect placeOf(const app::MainWindow& window, const QWidget* widget) {
    return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }
    void cleanup() { QApplication::setLayoutDirection(Qt::LeftToRight); }

    void noControlOverlapsAnother_data() {
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<QString>("size");
        for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft})
            for (const char* size : {"designed", "smallest", "enlarged"})
                QTest::addRow("%s, %s",
                              direction == Qt::LeftToRight ? "left to right" : "right to left",
                              size)
                    << direction << QString::fromLatin1(size);
    }
    void noControlOverlapsAnother() {
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(QString, size);
        QApplication::setLayoutDirection(direction);
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        if (size == "smallest")
            window->resize(window->minimumSizeHint());
        else if (size == "enlarged")
            window->resize(1200, 900);
        QTRY_VERIFY(window->controls().results->isVisible());
        QCoreApplication::processEvents();
        const QList<QWidget*> controls = visibleControls(*window);
        QVERIFY(controls.size() >= 19);
        for (QWidget* control : controls) {
            const QRect at = placeOf(*window, control);
            QVERIFY2(window->rect().contains(at), qPrintable(control->objectName()));
            // Every caption shown whole.
            if (auto* button = qobject_cast<QPushButton*>(control))
                QVERIFY2(button->width() >= button->minimumSizeHint().width(),
                         qPrintable(button->objectName()));
            for (QWidget* other : controls)
                if (other != control && !control->isAncestorOf(other) &&
                    !other->isAncestorOf(control))
                    QVERIFY2(
                        !at.intersects(placeOf(*window, other)),
                        qPrintable(control->objectName() + " overlaps " + other->objectName()));
        }
        // Mirrored: the first of a row of buttons is on the right.
        const auto& c = window->controls();
        QCOMPARE(c.addFiles->x() > c.addFolder->x(), direction == Qt::RightToLeft);
        QCOMPARE(c.progress->x() > c.stop->x(), direction == Qt::RightToLeft);
    }

    // The window is moved and shrunk into the screen's available area, frame included.
    void theWindowFitsItsScreen_data() {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("fits: left as it is")
            << QRect(415, 84, 536, 600) << QRect(0, 0, 1366, 740) << QRect(415, 84, 536, 600);
        QTest::newRow("1920x1080 at 200 %: shrunk to the height")
            << QRect(212, -30, 536, 600) << QRect(0, 0, 960, 540) << QRect(212, 0, 536, 540);
        QTest::newRow("remembered on a screen no longer there")
            << QRect(2500, 900, 800, 700) << QRect(0, 0, 1366, 768) << QRect(566, 68, 800, 700);
        QTest::newRow("a panel at the top")
            << QRect(100, 0, 536, 600) << QRect(0, 32, 1366, 736) << QRect(100, 32, 536, 600);
    }
    void theWindowFitsItsScreen() {
        QFETCH(QRect, wanted);
        QFETCH(QRect, available);
        QFETCH(QRect, fitted);
        QCOMPARE(app::fitWithin(wanted, available), fitted);
    }

    // Tab goes from top left to bottom right, and every button and check box has a mnemonic
    // of its own.
    void theKeyboardFollowsTheScreen() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        const auto& c = window->controls();
        QList<QWidget*> chain;
        for (QWidget* at = c.fileList; chain.size() < 20 && !chain.contains(at);
             at = at->nextInFocusChain())
            if (at->focusPolicy() & Qt::TabFocus && at->isVisible() && at->isEnabled())
                chain.append(at);
        QCOMPARE(chain.size(), 15); // Stop is left out while there is nothing to stop
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QRect before = placeOf(*window, chain[i - 1]);
            const QRect next = placeOf(*window, chain[i]);
            QVERIFY2(next.top() > before.top() ||
                         (next.top() == before.top() && next.left() > before.left()),
                     qPrintable(chain[i - 1]->objectName() + " before " + chain[i]->objectName()));
        }
        QSet<QChar> mnemonics;
        QList<QAbstractButton*> buttons;
        for (QPushButton* button : c.buttons())
            buttons.append(button);
        buttons << c.askForPasswords << c.onlyUnread;
        for (QAbstractButton* button : buttons) {
            const QChar mnemonic = gui::mnemonicOf(button->text());
            QVERIFY2(!mnemonic.isNull(), qPrintable(button->text()));
            QVERIFY2(!mnemonics.contains(mnemonic), qPrintable(button->text()));
            mnemonics.insert(mnemonic);
        }
        // A list with the focus shows it, empty or not.
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const QColor highlight = c.results->palette().color(QPalette::Highlight);
        const auto edge = [](QTreeView* list) {
            const QRect rows = list->viewport()->geometry();
            return list->grab().toImage().pixelColor(rows.left(), rows.center().y());
        };
        c.results->setFocus();
        QCOMPARE(edge(c.results), highlight);
        c.fileList->setFocus();
        QVERIFY(edge(c.results) != highlight);
        QCOMPARE(edge(c.fileList), highlight);
        // Enter presses the button that has the focus.
        c.clearList->setFocus();
        window->fileList().append({"/a.pdf"});
        QTest::keyClick(c.clearList, Qt::Key_Return);
        QCOMPARE(window->fileList().count(), 0);
    }

    void theShortcutsPressTheirButtons() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        ScriptedPrompts& prompts = services.prompts;
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::OpenFiles).size(), 1);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::InputBox).size(), 1); // the extension
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(prompts.shown.last().text, QStringLiteral("No files added."));
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::SaveFile).size(), 1);
    }

    // The window's place and size, the splitter and the results' sort come back at the next
    // start.
    void whereTheUserLeftThingsIsRemembered() {
        testsupport::TestServices services;
        {
            auto first = testsupport::makeMainWindow(services);
            first->showCentred();
            first->resize(700, 650);
            first->controls().splitter->setSizes({300, 250});
            first->results().setColumns({base::Property::Title, base::Property::Pages});
            first->controls().results->header()->setSortIndicator(2, Qt::DescendingOrder);
            first->close();
        }
        auto second = testsupport::makeMainWindow(services);
        second->showCentred();
        QCOMPARE(second->size(), QSize(700, 650));
        QCOMPARE(second->controls().splitter->sizes().constFirst(), 300);
        // A new table with the page count is sorted by it as before; one without is not.
        second->results().setColumns({base::Property::Pages});
        QCOMPARE(second->controls().results->header()->sortIndicatorSection(), 1);
        QCOMPARE(second->controls().results->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        second->results().setColumns({base::Property::Title});
        QCOMPARE(second->controls().results->header()->sortIndicatorSection(), -1);
        // A column with no width of its own shows its whole header.
        second->results().setColumns({base::Property::Pages, base::Property::Title});
        QHeaderView* header = second->controls().results->header();
        QVERIFY(header->sectionSizeHint(1) > header->defaultSectionSize());
        QVERIFY(header->sectionSize(1) >= header->sectionSizeHint(1));
    }

    // Screen readers hear the progress bar's own text as it changes.
    void theProgressBarIsHeardByItsText() {
        testsupport::TestServices services;
        auto window = testsupport::makeMainWindow(services);
        window->show();
        const auto& c = window->controls();
        c.progress->setText(QStringLiteral("Processing 3 of 7: a.pdf"));
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(c.progress);
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Processing 3 of 7: a.pdf"));
    }
};

PARVILON_TEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
