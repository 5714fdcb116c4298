#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/FileDialogIntake.h"
#include "gui/DragReorder.h"
#include "tests/support/TestMain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeView>

using testsupport::ScriptedPrompts;

namespace {

QPoint centreOfRow(const QTreeView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Presses on row `from`, moves over each row of `path` in turn, and releases.
void drag(QTreeView* list, int from, const QList<int>& path) {
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
        files = std::make_unique<base::FileListModel>();
        view = std::make_unique<QTreeView>();
        view->setRootIsDecorated(false);
        view->setModel(files.get());
        view->resize(500, 120);
        folders = std::make_unique<testsupport::TestFolders>();
        // The window's double-click handler, when idle: the selected row goes.
        new gui::DragReorder(view.get(), *files, folders->programFolder(),
                             [this] { files->removeAt(view->currentIndex().row()); });
        view->show();
    }
    void cleanup() {
        view.reset();
        files.reset();
        folders.reset();
    }

    void addingFilesUsesTheDialogAndKeepsItsOrder() {
        ScriptedPrompts prompts;
        const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton7_Click"));
        prompts.openFilesAnswers.enqueue({"/docs/b.pdf", "/docs/a.pdf"});
        filelist::addFilesByDialog(*files, prompts, errors);
        QCOMPARE(files->paths(), (QStringList{"/docs/b.pdf", "/docs/a.pdf"}));
        const auto dialogs = prompts.ofKind(ScriptedPrompts::Kind::OpenFiles);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
        QCOMPARE(dialogs[0].extra, QStringLiteral("All Files (*.pdf)"));

        // The same file again is listed again; a cancelled dialog changes nothing; a large
        // selection goes in whole.
        prompts.openFilesAnswers.enqueue({"/docs/a.pdf"});
        filelist::addFilesByDialog(*files, prompts, errors);
        prompts.openFilesAnswers.enqueue({});
        filelist::addFilesByDialog(*files, prompts, errors);
        QCOMPARE(files->paths(), (QStringList{"/docs/b.pdf", "/docs/a.pdf", "/docs/a.pdf"}));
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many.append(
                QStringLiteral("/a/rather/long/folder/for/many/files/document-%1.pdf").arg(i));
        prompts.openFilesAnswers.enqueue(many);
        filelist::addFilesByDialog(*files, prompts, errors);
        QCOMPARE(files->count(), 3003);
        QCOMPARE(prompts.unexpected, 0);
        QVERIFY(prompts.shown.size() == 4 && prompts.errorReports().isEmpty());
    }

    // A dialog that cannot pass a name on gives it with replacement marks: a file that is
    // not there. It is left out, and said so, rather than listed.
    void namesLostByTheDialogAreSaidNotListed() {
        ScriptedPrompts prompts;
        prompts.openFilesAnswers.enqueue({"/docs/a.pdf", QString::fromUtf8("/docs/caf\uFFFD.pdf")});
        filelist::addFilesByDialog(
            *files, prompts, base::ErrorReport(prompts, QStringLiteral("Form1.PushButton7_Click")));
        QCOMPARE(files->paths(), QStringList{"/docs/a.pdf"});
        const auto messages = prompts.ofKind(ScriptedPrompts::Kind::Message);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.startsWith("1 chosen file was not added"));
    }

    void doubleClickRemovesTheSelectedRow() {
        files->append({"A", "B", "C"});
        view->setCurrentIndex(files->index(0, 0));
        // Double-click on the third row: the selected first row goes, as designed.
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOfRow(view.get(), 2));
        QCOMPARE(files->paths(), (QStringList{"B", "C"}));
        // With nothing selected nothing goes, also below the rows.
        view->setCurrentIndex({});
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                           QPoint(10, view->viewport()->height() - 3));
        QCOMPARE(files->paths(), (QStringList{"B", "C"}));
    }

    void slowDragShiftsARowOnePlaceAtATime() {
        files->append({"A", "B", "C"});
        drag(view.get(), 0, {1, 2});
        QCOMPARE(files->paths(), (QStringList{"B", "C", "A"}));
        QCOMPARE(view->currentIndex().row(), 2);
    }

    void aJumpExchangesWithTheRowWhereTheCursorLands() {
        files->append({"A", "B", "C", "D"});
        drag(view.get(), 0, {3});
        QCOMPARE(files->paths(), (QStringList{"D", "B", "C", "A"}));
        drag(view.get(), 2, {1, 0});
        QCOMPARE(files->paths(), (QStringList{"C", "D", "B", "A"}));
    }

    void rowsWithTheSameTextAreNeverExchanged() {
        files->append({"A", "A", "B"});
        drag(view.get(), 0, {1});
        QCOMPARE(files->paths(), (QStringList{"A", "A", "B"}));
        drag(view.get(), 1, {2});
        QCOMPARE(files->paths(), (QStringList{"A", "B", "A"}));
    }

    void pressingOutsideTheRowsMovesNothing() {
        files->append({"A", "B", "C"});
        QWidget* viewport = view->viewport();
        const QPoint below(10, viewport->height() - 3);
        QVERIFY(!view->indexAt(below).isValid());
        // No row clicked since the start.
        sendMouse(viewport, QEvent::MouseButtonPress, below, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), 0), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), 2), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, below, Qt::NoButton);
        QCOMPARE(files->paths(), (QStringList{"A", "B", "C"}));
        // Nor after an earlier drag has ended.
        drag(view.get(), 0, {1});
        QCOMPARE(files->paths(), (QStringList{"B", "A", "C"}));
        sendMouse(viewport, QEvent::MouseButtonPress, below, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), 2), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, below, Qt::NoButton);
        QCOMPARE(files->paths(), (QStringList{"B", "A", "C"}));
        // Moving without a pressed button moves nothing either.
        view->setCurrentIndex(files->index(0, 0));
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), 1), Qt::NoButton);
        QCOMPARE(files->paths(), (QStringList{"B", "A", "C"}));
    }

    void aRowRemovedMidDragIsForgotten() {
        files->append({"A", "B", "C"});
        QWidget* viewport = view->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(view.get(), 0), Qt::LeftButton);
        files->clear(); // "Clear List", say by keyboard, meanwhile
        files->append({"X", "Y"});
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), 1), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(view.get(), 1), Qt::NoButton);
        QCOMPARE(files->paths(), (QStringList{"X", "Y"}));
    }

    void draggingShowsTheDragCursorOnTheList() {
        folders->addSideFile(QStringLiteral("drag.ico"));
        files->append({"A", "B"});
        QWidget* viewport = view->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(view.get(), 0), Qt::LeftButton);
        QCOMPARE(view->cursor().shape(), Qt::BitmapCursor);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(view.get(), 0), Qt::NoButton);
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    }

    void draggingPastTheBottomEdgeScrollsTheList() {
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QStringLiteral("row %1").arg(i, 2, 10, QLatin1Char('0')));
        files->append(rows);
        QWidget* viewport = view->viewport();
        // The last fully visible row, at the bottom edge of the list.
        int last = 0;
        while (last + 1 < files->count() &&
               view->visualRect(files->index(last + 1, 0)).bottom() < viewport->height())
            ++last;
        QVERIFY(last < 39);
        sendMouse(viewport, QEvent::MouseButtonPress, centreOfRow(view.get(), last - 1),
                  Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, centreOfRow(view.get(), last), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, centreOfRow(view.get(), last),
                  Qt::NoButton);
        QCOMPARE(files->path(last), rows[last - 1]);
        // The next row has come into view, so the drag can go on.
        QVERIFY(viewport->rect().contains(view->visualRect(files->index(last + 1, 0))));
    }

private:
    std::unique_ptr<base::FileListModel> files;
    std::unique_ptr<QTreeView> view;
    std::unique_ptr<testsupport::TestFolders> folders;
};

PARVILON_TEST_MAIN(FileListTest)
#include "tst_filelist.moc"
