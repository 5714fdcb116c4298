#include "app/BusyState.h"
#include "filelist/FileList.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QApplication>
#include <QMouseEvent>

using testsupport::ScriptedPrompts;

namespace {

QStringList rowsOf(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows.append(list->topLevelItem(i)->text(0));
    return rows;
}

QPoint centreOfRow(const QTreeWidget* list, int row) {
    return list->visualItemRect(list->topLevelItem(row)).center();
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Presses on row `from`, moves over each row of `path` in turn, and releases.
void drag(QTreeWidget* list, int from, const QList<int>& path) {
    QWidget* viewport = list->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(list, from), Qt::LeftButton);
    for (int row : path)
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(list, row), Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseButtonRelease,
              centreOfRow(list, path.isEmpty() ? from : path.last()), Qt::NoButton);
}

} // namespace

class FileListTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        window = testsupport::makeMainWindow();
        window->show();
    }
    void cleanup() { window.reset(); }

    void addingFilesUsesTheDialogAndKeepsItsOrder() {
        ScriptedPrompts prompts;
        prompts.openFilesAnswers.enqueue({"/docs/b.pdf", "/docs/a.pdf"});
        QTest::mouseClick(window->PushButton7, Qt::LeftButton);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"/docs/b.pdf", "/docs/a.pdf"}));
        const auto dialogs = prompts.ofKind(ScriptedPrompts::Kind::OpenFiles);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
        QCOMPARE(dialogs[0].extra, QStringLiteral("All Files (*.pdf)"));

        // The same file again is listed again; a cancelled dialog changes nothing.
        prompts.openFilesAnswers.enqueue({"/docs/a.pdf"});
        QTest::mouseClick(window->PushButton7, Qt::LeftButton);
        prompts.openFilesAnswers.enqueue({});
        QTest::mouseClick(window->PushButton7, Qt::LeftButton);
        QCOMPARE(rowsOf(window->ListView1),
                 (QStringList{"/docs/b.pdf", "/docs/a.pdf", "/docs/a.pdf"}));
        QCOMPARE(prompts.unexpected, 0);
        QVERIFY(prompts.errorReports().isEmpty());
    }

    void aLargeSelectionIsAddedWhole() {
        ScriptedPrompts prompts;
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many.append(
                QStringLiteral("/a/rather/long/folder/name/for/many/files/document-%1.pdf").arg(i));
        prompts.openFilesAnswers.enqueue(many);
        QTest::mouseClick(window->PushButton7, Qt::LeftButton);
        QCOMPARE(window->ListView1->topLevelItemCount(), 3000);
        QVERIFY(prompts.ofKind(ScriptedPrompts::Kind::Message).isEmpty());
    }

    void doubleClickRemovesTheSelectedRow() {
        filelist::appendRows(window->ListView1, {"A", "B", "C"});
        window->ListView1->setCurrentItem(window->ListView1->topLevelItem(0));
        // Double-click on the third row: the selected first row goes, as designed.
        QTest::mouseDClick(window->ListView1->viewport(), Qt::LeftButton, {},
                           centreOfRow(window->ListView1, 2));
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"B", "C"}));
        // With nothing selected nothing goes, also below the rows.
        window->ListView1->clearSelection();
        filelist::ListView1_DblClick(*window);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"B", "C"}));
        // On an empty list nothing happens.
        window->ListView1->clear();
        filelist::ListView1_DblClick(*window);
        QCOMPARE(window->ListView1->topLevelItemCount(), 0);
    }

    void clearListEmptiesOnlyTheFileList() {
        filelist::appendRows(window->ListView1, {"A", "B"});
        new QTreeWidgetItem(window->ListView2, {"result"});
        QTest::mouseClick(window->PushButton8, Qt::LeftButton);
        QCOMPARE(window->ListView1->topLevelItemCount(), 0);
        QCOMPARE(window->ListView1->headerItem()->text(0), QStringLiteral("PDF File(s)"));
        QCOMPARE(window->ListView2->topLevelItemCount(), 1);
    }

    void removingIsRefusedWhileBusy() {
        filelist::appendRows(window->ListView1, {"A", "B"});
        window->ListView1->setCurrentItem(window->ListView1->topLevelItem(1));
        {
            app::BusyScope busy(window.get());
            QTest::mouseClick(window->PushButton8, Qt::LeftButton);
            filelist::ListView1_DblClick(*window);
            QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "B"}));
            // Adding is allowed meanwhile.
            ScriptedPrompts prompts;
            prompts.openFilesAnswers.enqueue({"/x/c.pdf"});
            QTest::mouseClick(window->PushButton7, Qt::LeftButton);
            QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "B", "/x/c.pdf"}));
        }
        filelist::ListView1_DblClick(*window);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "/x/c.pdf"}));
    }

    void slowDragShiftsARowOnePlaceAtATime() {
        filelist::appendRows(window->ListView1, {"A", "B", "C"});
        drag(window->ListView1, 0, {1, 2});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"B", "C", "A"}));
        QCOMPARE(window->ListView1->currentItem()->text(0), QStringLiteral("A"));
    }

    void aJumpExchangesWithTheRowWhereTheCursorLands() {
        filelist::appendRows(window->ListView1, {"A", "B", "C", "D"});
        drag(window->ListView1, 0, {3});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"D", "B", "C", "A"}));
        drag(window->ListView1, 2, {1, 0});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"C", "D", "B", "A"}));
    }

    void rowsWithTheSameTextAreNeverExchanged() {
        filelist::appendRows(window->ListView1, {"A", "A", "B"});
        drag(window->ListView1, 0, {1});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "A", "B"}));
        drag(window->ListView1, 1, {2});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "B", "A"}));
    }

    void pressingOutsideTheRowsMovesNothing() {
        filelist::appendRows(window->ListView1, {"A", "B", "C"});
        QWidget* viewport = window->ListView1->viewport();
        const QPoint below(10, viewport->height() - 3);
        QVERIFY(!window->ListView1->itemAt(below));
        // No row clicked since the start.
        sendMouse(viewport, QEvent::MouseButtonPress, below, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(window->ListView1, 0), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(window->ListView1, 2), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, below, Qt::NoButton);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "B", "C"}));
        // Nor after an earlier drag has ended.
        drag(window->ListView1, 0, {1});
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"B", "A", "C"}));
        sendMouse(viewport, QEvent::MouseButtonPress, below, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(window->ListView1, 2), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, below, Qt::NoButton);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"B", "A", "C"}));
    }

    void movingWithoutAPressedButtonMovesNothing() {
        filelist::appendRows(window->ListView1, {"A", "B"});
        window->ListView1->setCurrentItem(window->ListView1->topLevelItem(0));
        sendMouse(window->ListView1->viewport(), QEvent::MouseMove,
                  centreOfRow(window->ListView1, 1), Qt::NoButton);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"A", "B"}));
    }

    void aRowRemovedMidDragIsForgotten() {
        filelist::appendRows(window->ListView1, {"A", "B", "C"});
        QWidget* viewport = window->ListView1->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(window->ListView1, 0),
                  Qt::LeftButton);
        QTest::mouseClick(window->PushButton8, Qt::LeftButton); // say, by keyboard meanwhile
        filelist::appendRows(window->ListView1, {"X", "Y"});
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(window->ListView1, 1), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(window->ListView1, 1),
                  Qt::NoButton);
        QCOMPARE(rowsOf(window->ListView1), (QStringList{"X", "Y"}));
    }

    void draggingShowsTheDragCursorOnTheList() {
        testsupport::ProgramFolder folder;
        folder.addSideFile(QStringLiteral("drag.ico"));
        filelist::appendRows(window->ListView1, {"A", "B"});
        QWidget* viewport = window->ListView1->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(window->ListView1, 0),
                  Qt::LeftButton);
        QCOMPARE(window->ListView1->cursor().shape(), Qt::BitmapCursor);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(window->ListView1, 0),
                  Qt::NoButton);
        QVERIFY(!window->ListView1->testAttribute(Qt::WA_SetCursor));
    }

    void draggingPastTheBottomEdgeScrollsTheList() {
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QStringLiteral("row %1").arg(i, 2, 10, QLatin1Char('0')));
        filelist::appendRows(window->ListView1, rows);
        QTreeWidget* list = window->ListView1;
        QWidget* viewport = list->viewport();
        // The last fully visible row, at the bottom edge of the list.
        int last = 0;
        while (last + 1 < list->topLevelItemCount() &&
               list->visualItemRect(list->topLevelItem(last + 1)).bottom() < viewport->height())
            ++last;
        QVERIFY(last < 39);
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(list, last - 1), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(list, last), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(list, last), Qt::NoButton);
        QCOMPARE(list->topLevelItem(last)->text(0), rows[last - 1]);
        // The next row has come into view, so the drag can go on.
        QVERIFY(viewport->rect().contains(list->visualItemRect(list->topLevelItem(last + 1))));
    }

private:
    std::unique_ptr<app::Form1> window;
};

PARVILON_TEST_MAIN(FileListTest)
#include "tst_filelist.moc"
