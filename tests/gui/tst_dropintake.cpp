#include "tests/filelist/FolderFixtures.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/DroppedPaths.h"
#include "gui/DropIntake.h"
#include "platform/FileNames.h"
#include "tests/support/TestMain.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTreeView>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

using namespace folderfixtures;

namespace {
// Drags data over the list and drops it there, as the desktop delivers a drag; true when
// the list takes it at every step.
bool dragAndDrop(QTreeView* list, const QMimeData& data) {
    const QPoint at = list->viewport()->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
    QDropEvent drop(at, actions, &data, Qt::LeftButton, {});
    bool taken = true;
    for (QDropEvent* event : std::initializer_list<QDropEvent*>{&enter, &move, &drop}) {
        QApplication::sendEvent(list->viewport(), event);
        taken = taken && event->isAccepted();
    }
    return taken;
}

QMimeData* filesData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(path.contains("://") ? QUrl(path) : QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}
} // namespace

class DropIntakeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        makeTree(tree.path(), {"F/a.pdf", "F/notes.txt", "F/~lock.pdf", "F/sub/c.pdf", "G/g.pdf",
                               "loose.txt", "two words.pdf"});
        makeLink("../../G", tree.filePath("F/sub/linked"));
    }
    void init() {
        files = std::make_unique<base::FileListModel>();
        prompts = std::make_unique<testsupport::ScriptedPrompts>();
        intake = std::make_unique<filelist::DroppedPathsIntake>(
            *files, base::ErrorReport(*prompts, QStringLiteral("Form1.ListView1_OLEDragDrop")));
        view = std::make_unique<QTreeView>();
        view->setModel(files.get());
        new gui::DropIntake(view.get(), *intake);
        view->show();
    }
    void cleanup() {
        QVERIFY(prompts->errorReports().isEmpty());
        view.reset();
        intake.reset();
        files.reset();
    }

    void onlyListsOfLocalFilesAreTaken_data() {
        QTest::addColumn<QMimeData*>("data");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("files") << filesData({tree.filePath("loose.txt")}) << true;
        QTest::newRow("folder") << filesData({tree.filePath("G")}) << true;
        auto* text = new QMimeData;
        text->setText(tree.filePath("loose.txt"));
        QTest::newRow("text naming a file") << text << false;
        auto* picture = new QMimeData;
        picture->setData("image/png", QByteArray("\x89PNG", 4));
        QTest::newRow("picture") << picture << false;
        QTest::newRow("web address") << filesData({"https://example.org/a.pdf"}) << false;
        QTest::newRow("files and a web address")
            << filesData({tree.filePath("loose.txt"), "https://example.org/a.pdf"}) << false;
    }
    void onlyListsOfLocalFilesAreTaken() {
        QFETCH(QMimeData*, data);
        QFETCH(bool, accepted);
        const std::unique_ptr<QMimeData> owned(data);
        QCOMPARE(dragAndDrop(view.get(), *data), accepted);
        QVERIFY(dropsAreTaken());
        QCOMPARE(files->count() > 0, accepted);
    }

    void dropsAddRowsInTheirOrder_data() {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("files as delivered, missing and repeated ones too")
            << QStringList{"two words.pdf", "loose.txt", "gone.pdf", "loose.txt"}
            << QStringList{"two words.pdf", "loose.txt", "gone.pdf", "loose.txt"};
        QTest::newRow("a folder's whole tree, every extension, no ~ names, no links")
            << QStringList{"F"} << QStringList{"F/a.pdf", "F/notes.txt", "F/sub/c.pdf"};
        QTest::newRow("a folder and a file")
            << QStringList{"G", "loose.txt"} << QStringList{"G/g.pdf", "loose.txt"};
        QTest::newRow("a file and two folders")
            << QStringList{"loose.txt", "G", "F"}
            << QStringList{"loose.txt", "G/g.pdf", "F/a.pdf", "F/notes.txt", "F/sub/c.pdf"};
        QTest::newRow("a link to a folder is taken as the folder")
            << QStringList{"F/sub/linked"} << QStringList{"F/sub/linked/g.pdf"};
    }
    void dropsAddRowsInTheirOrder() {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, rows);
        for (QString& path : dropped)
            path = tree.filePath(path);
        for (QString& row : rows)
            row = tree.filePath(row);
        const std::unique_ptr<QMimeData> data(filesData(dropped));
        QVERIFY(dragAndDrop(view.get(), *data));
        QVERIFY(dropsAreTaken());
        QCOMPARE(rowsOf(*files), rows);
    }

    // A file manager sends a name that is not UTF-8 as percent-encoded bytes; the row must
    // name that file, not one with replacement marks in its name.
    void aNameThatIsNotUtf8IsDroppedAsItIs() {
        const QByteArray bytes = QFile::encodeName(tree.path()) + "/caf\xe9.pdf";
        QVERIFY(::close(::creat(bytes.constData(), 0644)) == 0);
        auto* data = new QMimeData;
        data->setData("text/uri-list", "file://" + bytes.toPercentEncoding("/") + "\r\n");
        const std::unique_ptr<QMimeData> owned(data);
        QVERIFY(dragAndDrop(view.get(), *data));
        QVERIFY(dropsAreTaken());
        QCOMPARE(files->count(), 1);
        QCOMPARE(platform::encodeFileName(files->path(0)), bytes);
    }

    // A drop is taken whatever else goes on (the program busy with a run, another drop).
    void dropsKeepTheirOrder() {
        const std::unique_ptr<QMimeData> first(filesData({tree.filePath("F"), tree.filePath("G")}));
        const std::unique_ptr<QMimeData> second(filesData({tree.filePath("loose.txt")}));
        // A second drop arrives while the first is still being expanded.
        bool dropped = false;
        connect(files.get(), &QAbstractItemModel::rowsInserted, this, [&] {
            if (!std::exchange(dropped, true))
                dragAndDrop(view.get(), *second);
        });
        QVERIFY(dragAndDrop(view.get(), *first));
        QVERIFY(dropsAreTaken());
        QVERIFY(dropped);
        QCOMPARE(rowsOf(*files),
                 (QStringList{tree.filePath("F/a.pdf"), tree.filePath("F/notes.txt"),
                              tree.filePath("F/sub/c.pdf"), tree.filePath("G/g.pdf"),
                              tree.filePath("loose.txt")}));
    }

private:
    // Lets the queued drops be taken and their folders walked; false when the walks do not
    // end.
    bool dropsAreTaken() {
        QSignalSpy busy(intake.get(), &filelist::DroppedPathsIntake::busyChanged);
        QCoreApplication::processEvents(); // the drop hands its paths on from the event loop
        while (intake->isBusy())
            if (!busy.wait(10000))
                return false;
        return true;
    }

    std::unique_ptr<base::FileListModel> files;
    std::unique_ptr<testsupport::ScriptedPrompts> prompts;
    std::unique_ptr<filelist::DroppedPathsIntake> intake;
    std::unique_ptr<QTreeView> view;
    TreeRoot tree;
};

PARVILON_TEST_MAIN(DropIntakeTest)
#include "tst_dropintake.moc"
