#pragma once

#include "extract/ToolRunner.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace base {
class BusyState;
class ErrorReport;
class FileListModel;
class Progress;
class ResultsModel;
} // namespace base

namespace extract {

struct RunOptions {
    // Asked before each file whether to ask for its password: the user may change the
    // option while a run goes on.
    std::function<bool()> askForPasswords = [] { return false; };
    RunLimits limits;
    // How many tools work at once on the next files; 1 reads one file after the other.
    int parallelTools = defaultParallelTools();

    // As many as the machine has processors.
    static int defaultParallelTools();
};

struct RunSummary {
    int rows = 0;         // results rows made
    int unreadFiles = 0;  // files the tool could not read
    bool stopped = false; // the user stopped the run at a password question
};

// The extraction run: gives the results the header row headers, then for every listed file,
// in list order, adds a results row and fills it from the file's details, the tool's dump
// and the file's first line; at the end every row is ticked. Files added to the list meanwhile
// are not part of the run. A row whose file the tool could not read is marked with the
// reason. Busy throughout, with progress naming the file whose row is being filled. A
// failing step is reported by errors and the run goes on with the next.
//
// Up to options.parallelTools tools work at once, each on a file of its own with an output
// file of its own; the rows are still made, asked for their passwords and filled in list
// order. Each tool has the limit of options.limits.
RunSummary runExtraction(const base::FileListModel& files, base::ResultsModel& results,
                         const QStringList& headers, base::Progress& progress,
                         base::BusyState& busy, const RunOptions& options,
                         const base::ErrorReport& errors);

// "3. Start Extracting": refused while busy; "No files added." for an empty list; otherwise
// the run over the properties chosen now, then "Done." with how many files could not be
// read.
void startExtraction(const base::FileListModel& files, base::ResultsModel& results,
                     base::Progress& progress, base::BusyState& busy, const RunOptions& options,
                     const base::ErrorReport& errors);

// The second line of the final "Done." box: how many files could not be read; nothing when
// every file was read.
QString unreadFilesLine(int unreadFiles);

// Deletes a file whatever its permissions; every error is ignored.
void deleteFileForced(const QString& path);

} // namespace extract
