// Folder scan and folder drop on a large generated tree, timed next to find(1).
//
//   build-folder/bench_scan [TREE-FOLDER]
//
// Writes the tree (2,000 folders, 100,000 files, a few symbolic links including cycles) into
// TREE-FOLDER, or into a temporary folder that is removed afterwards; a TREE-FOLDER that
// already holds files (say, from an earlier run) is used as it is. Then:
//   - runs `find TREE -iname '*.pdf'` (once to warm the cache, once timed);
//   - scans the tree as "1. Add All PDF File(s) In Folder" does, with scripted answers "pdf"
//     and the tree: a filelist::FolderTreeScan walking in its thread, its rows going into a
//     file list shown offscreen from the event loop; timed from the answers to its end;
//   - drops the tree's root on that list (gui::DropIntake and filelist::DroppedPathsIntake,
//     as the window takes drops), timed from the drop to the intake's end;
//   - reports for each the longest gap between event-loop turns and between repaints of the
//     file list, and at the end the peak memory of the process.
// Targets: each operation under 5 s and within 10 times find; gaps under 100 ms; peak
// memory under 300 MB.

#include "EventLoopWatch.h"
#include "GeneratedTree.h"

#include "base/ErrorReport.h"
#include "base/FileListModel.h"
#include "filelist/DroppedPaths.h"
#include "filelist/FolderScan.h"
#include "filelist/FolderTree.h"
#include "gui/DropIntake.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUrl>

#include <cstdio>
#include <sys/resource.h>

namespace {

struct Timing {
    double seconds = 0;
    qsizetype count = 0;
};

Timing timeFind(const QString& root) {
    QElapsedTimer clock;
    clock.start();
    QProcess find;
    find.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), QStringLiteral("*.pdf")});
    find.waitForFinished(-1);
    const QByteArray output = find.readAllStandardOutput();
    return {static_cast<double>(clock.nsecsElapsed()) / 1e9, output.count('\n')};
}

// The file list as the window shows it, and the window's intake of drops.
struct FileList {
    explicit FileList(base::ErrorSink& errors)
        : drops(files, base::ErrorReport(errors, QStringLiteral("Form1.ListView1_OLEDragDrop"))) {
        view.setModel(&files);
        view.resize(600, 400);
        new gui::DropIntake(&view, drops);
        view.show();
    }
    base::FileListModel files;
    filelist::DroppedPathsIntake drops;
    QTreeView view;
};

Timing timeScan(FileList& list, const QString& root, testsupport::ScriptedPrompts& prompts,
                EventLoopWatch& watch) {
    prompts.inputAnswers.enqueue(QStringLiteral("pdf"));
    prompts.folderAnswers.enqueue(root);
    const base::ErrorReport errors(prompts, QStringLiteral("Form1.PushButton4_Click"));
    const std::optional<filelist::FolderScanRequest> request =
        filelist::askWhatToScan(prompts, errors);
    if (!request)
        return {};
    const int before = list.files.count();
    watch.start();
    QElapsedTimer clock;
    clock.start();
    filelist::FolderTreeScan scan(request->folder, request->pattern, errors);
    QObject::connect(&scan, &filelist::FolderTreeScan::rowsFound, &list.files,
                     &base::FileListModel::append);
    QEventLoop loop;
    QObject::connect(&scan, &filelist::FolderTreeScan::finished, &loop, &QEventLoop::quit);
    scan.start();
    loop.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    watch.stop();
    return {seconds, list.files.count() - before};
}

Timing timeDrop(FileList& list, const QString& root, EventLoopWatch& watch) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root)});
    QWidget* viewport = list.view.viewport();
    const QPointF at = viewport->rect().center();
    const int before = list.files.count();
    QEventLoop loop;
    QObject::connect(&list.drops, &filelist::DroppedPathsIntake::busyChanged, &loop,
                     [&loop](bool busy) {
                         if (!busy)
                             loop.quit();
                     });
    watch.start();
    QElapsedTimer clock;
    clock.start();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    // The drop is acknowledged at once; its folder is walked in a thread, its rows added from
    // the event loop, until the intake is idle again.
    loop.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    watch.stop();
    return {seconds, list.files.count() - before};
}

void printOperation(const char* name, const Timing& timing, const Timing& find,
                    const EventLoopWatch& watch) {
    std::printf("%-22s %7.3f s  %6.1fx find  %7lld rows  longest gap: %4lld ms between turns, "
                "%4lld ms between repaints (%d repaints)\n",
                name, timing.seconds, timing.seconds / find.seconds,
                static_cast<long long>(timing.count),
                static_cast<long long>(watch.longestTurnGapMs()),
                static_cast<long long>(watch.longestPaintGapMs()), watch.paints());
}

} // namespace

int main(int argc, char* argv[]) {
    testsupport::isolateEnvironment();
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);

    QTemporaryDir temporary;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QElapsedTimer clock;
    clock.start();
    if (!QDir(root).isEmpty()) {
        std::printf("tree %s: used as it is\n", qPrintable(root));
    } else {
        const TreeCounts counts = generateTree(root);
        std::printf("tree %s: %d folders, %d files (%d named *.pdf/*.PDF, %d hidden, %d starting "
                    "with ~), %d symbolic links; written in %.1f s\n",
                    qPrintable(root), counts.folders, counts.files, counts.pdfNames,
                    counts.hiddenFiles, counts.tildeFiles, counts.links,
                    static_cast<double>(clock.elapsed()) / 1000);
    }

    timeFind(root); // warms the cache for both sides
    const Timing find = timeFind(root);
    std::printf("%-22s %7.3f s  %18s  %7lld paths\n", "find -iname '*.pdf'", find.seconds, "",
                static_cast<long long>(find.count));

    testsupport::ScriptedPrompts prompts; // the answers, and where errors go
    FileList list(prompts);
    QCoreApplication::processEvents();
    EventLoopWatch watch(list.view.viewport());

    const Timing scan = timeScan(list, root, prompts, watch);
    printOperation("scan, extension pdf", scan, find, watch);

    const Timing drop = timeDrop(list, root, watch);
    printOperation("drop of the root", drop, find, watch);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (maxrss) %.0f MB with %d rows listed\n",
                static_cast<double>(usage.ru_maxrss) / 1024, list.files.count());
    std::printf("targets: under 5 s and within 10x find per operation, gaps under 100 ms, peak "
                "memory under 300 MB\n");
    if (!prompts.errorReports().isEmpty())
        std::printf("%lld errors reported, the first: %s\n",
                    static_cast<long long>(prompts.errorReports().size()),
                    qUtf8Printable(prompts.errorReports().constFirst().text));
    return prompts.errorReports().isEmpty() && prompts.unexpected == 0 ? 0 : 1;
}
