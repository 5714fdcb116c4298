#pragma once

#include "base/ErrorReport.h"
#include "base/Properties.h"
#include "base/ResultsSnapshot.h"
#include "extract/RunOptions.h"
#include "platform/Prompts.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace extract {

// The extraction run: for every file of its list, in list order, one results row with the
// file's dates, what the tool's dump gives and the file's first line. A row whose file the
// tool could not read says why.
//
// The run is driven by the event loop and never waits: it starts tools, notices their ends
// and error output as the loop reports them, and tells its observers what happened. Up to
// options.parallelTools tools work at once, each on a file of its own with an output file of
// its own, a little ahead of the rows; the rows are still made, asked for their passwords and
// reported in list order. Each tool has the time limit of options.limits. A failing step is
// reported through errors and the run goes on with the next.
class ExtractionRun : public QObject {
    Q_OBJECT
public:
    ExtractionRun(QStringList files, base::Columns columns, RunOptions options,
                  base::ErrorReport errors, QObject* parent = nullptr);
    // Ends the run at once, as abort() does.
    ~ExtractionRun() override;

    // Begins; everything after happens from the event loop.
    void start();
    // The answer to passwordNeeded: the file asked about is read with it (Cancel: without a
    // password), or, with Stop, gets no row and the run starts no further file.
    void answerPassword(const platform::PasswordAnswer& answer);
    // Starts no further file; the files whose tools already work are still read and
    // reported, then the run finishes.
    void stop();
    // Ends the run now: every tool is killed with its children, every output file removed,
    // and nothing more is reported.
    void abort();

    const base::Columns& columns() const;
    int fileCount() const;
    bool isFinished() const;

signals:
    // The next row, in list order.
    void rowReady(const base::ResultRowData& row);
    // How far the run has come: a value from 0 to 100 (a slow last file may pass 100) and a
    // text.
    void progress(int value, const QString& text);
    // The password of the next file is wanted; answerPassword gives it. The prompt is the
    // question as the password box asks it.
    void passwordNeeded(const QString& path, const QString& prompt);
    // The run has ended; nothing follows.
    void finished(const extract::RunSummary& summary);

private:
    class Work;
    std::unique_ptr<Work> work;
};

// The second line of the final "Done." box: how many files could not be read; nothing when
// every file was read.
QString unreadFilesLine(int unreadFiles);

// The question the password box asks for a file.
QString passwordPrompt(const QString& path);

} // namespace extract
