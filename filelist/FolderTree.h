#pragma once

#include "filelist/FolderWalk.h"

#include <QString>
#include <QStringList>

namespace base {
class ErrorReport;
class FileListModel;
} // namespace base

namespace filelist {

// The rows that the files of one folder give: every listed file matching pattern, except
// names that start with "~" and files that are hidden and archived and nothing else. Each
// row is the cleaned full path. Files left out by these rules are counted in leftOut.
QStringList rowsForFilesOfFolder(const QString& folder, const QString& pattern,
                                 LeftOut* leftOut = nullptr);

// Appends to the list, folder by folder and level by level, the rows of every file of
// folder's whole tree that matches pattern. Events run after each folder, so the window
// keeps repainting; rows go in a few times a second, so large trees stay fast.
// A failing step is reported by errors and the walk goes on.
void appendFilesOfFolderTree(base::FileListModel& files, const QString& folder,
                             const QString& pattern, const base::ErrorReport& errors);

// Every file of folder's whole tree that matches pattern, in the order the walk finds them,
// without a window: for the command line, which says what the rules left out (leftOut).
QStringList filesOfFolderTree(const QString& folder, const QString& pattern,
                              const base::ErrorReport& errors, LeftOut* leftOut = nullptr);

} // namespace filelist
