#pragma once

#include "filelist/FolderWalk.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace base {
class BackgroundWork;
class ErrorReport;
class ErrorSink;
class StopRequest;
} // namespace base

namespace filelist {

// The rows that the files of one folder give: every listed file matching pattern, except
// names that start with "~" and files that are hidden and archived and nothing else. Each
// row is the cleaned full path. Files left out by these rules are counted in leftOut.
QStringList rowsForFilesOfFolder(const QString& folder, const QString& pattern,
                                 LeftOut* leftOut = nullptr);

// Walks folder's whole tree, folder by folder and level by level, handing the rows of every
// file that matches pattern to take as they are found. A failing step is reported by errors
// (the folder-tree expansion's own steps to its sink) and the walk goes on; a stop requested
// ends it with base::Stopped. Runs in any thread.
void walkFolderTree(const QString& folder, const QString& pattern, const base::ErrorReport& errors,
                    const std::function<void(const QStringList&)>& take, LeftOut* leftOut = nullptr,
                    const base::StopRequest* stop = nullptr);

// Every file of folder's whole tree that matches pattern, in the order the walk finds them,
// without a window: for the command line, which says what the rules left out (leftOut).
QStringList filesOfFolderTree(const QString& folder, const QString& pattern,
                              const base::ErrorReport& errors, LeftOut* leftOut = nullptr);

// The walk of one folder tree in a thread of its own, for the window: the rows come back
// from the event loop in batches, a few times a second, so a tree of a hundred thousand files
// costs a few dozen insertions into the list while rows still appear as the walk goes on.
// Errors are reported to the sink of errors from the event loop.
class FolderTreeScan : public QObject {
    Q_OBJECT
public:
    FolderTreeScan(QString folder, QString pattern, const base::ErrorReport& errors,
                   QObject* parent = nullptr);
    // Stops the walk and waits for its thread.
    ~FolderTreeScan() override;

    void start();
    void stop();

signals:
    void rowsFound(const QStringList& rows);
    void finished();

private:
    std::unique_ptr<base::BackgroundWork> work;
};

} // namespace filelist
