// Folder scan and folder drop on a large generated tree, timed next to find(1).
//
//   build-folder/bench_scan [TREE-FOLDER]
//
// Writes the tree (2,000 folders, 100,000 files, a few symbolic links including cycles) into
// TREE-FOLDER, or into a temporary folder that is removed afterwards; a TREE-FOLDER that
// already holds files (say, from an earlier run) is used as it is. Then:
//   - runs `find TREE -iname '*.pdf'` (once to warm the cache, once timed);
//   - clicks "1. Add All PDF File(s) In Folder" on an offscreen main window with scripted
//     answers "pdf" and the tree, timed from the folder browser's answer to the last row;
//   - drops the tree's root on the file list, timed from the drop to the last row;
//   - reports for each the longest gap between event-loop turns and between repaints of the
//     file list, and at the end the peak memory of the process.
// Targets: each operation under 5 s and within 10 times find; gaps under 100 ms; peak
// memory under 300 MB.

#include "EventLoopWatch.h"
#include "GeneratedTree.h"

#include "base/EventPump.h"
#include "filelist/FileDialogIntake.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestWindow.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
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

Timing timeScan(app::MainWindow& window, const QString& root, EventLoopWatch& watch) {
    testsupport::ScriptedPrompts prompts;
    prompts.inputAnswers.enqueue(QStringLiteral("pdf"));
    prompts.folderAnswers.enqueue(root);
    QElapsedTimer clock;
    prompts.whileShowing = [&](const testsupport::ScriptedPrompts::Shown& shown) {
        if (shown.kind == testsupport::ScriptedPrompts::Kind::BrowseFolder) {
            watch.start();
            clock.start();
        }
    };
    const int before = window.fileList().count();
    window.controls().addFolder->click();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    watch.stop();
    return {seconds, window.fileList().count() - before};
}

Timing timeDrop(app::MainWindow& window, const QString& root, EventLoopWatch& watch) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root)});
    QWidget* viewport = window.controls().fileList->viewport();
    const QPointF at = viewport->rect().center();
    const int before = window.fileList().count();
    watch.start();
    QElapsedTimer clock;
    clock.start();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    // The drop is acknowledged at once; its rows are added by the next turn of the loop.
    QCoreApplication::processEvents();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    watch.stop();
    return {seconds, window.fileList().count() - before};
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

    auto window = testsupport::makeMainWindow();
    window->show();
    QCoreApplication::processEvents();
    EventLoopWatch watch(window->controls().fileList->viewport());

    const Timing scan = timeScan(*window, root, watch);
    printOperation("scan, extension pdf", scan, find, watch);

    const Timing drop = timeDrop(*window, root, watch);
    printOperation("drop of the root", drop, find, watch);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (maxrss) %.0f MB with %d rows listed\n",
                static_cast<double>(usage.ru_maxrss) / 1024, window->fileList().count());
    std::printf("targets: under 5 s and within 10x find per operation, gaps under 100 ms, peak "
                "memory under 300 MB\n");
    return 0;
}
