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
// and answers as the loop reports them, and tells its observers what happened. Up to
// options.parallelTools tools work at once, a little ahead of the rows; the rows are still
// made, asked for their passwords and reported in list order. Each file has the time limit of
// options.limits. A failing step is reported through errors and the run goes on with the next.
//
// A tool that serves one file after another (pdftk --serve: ours) is started once per
// processor and kept (ToolWorker); one that crashes or passes the limit is replaced and only
// its file is marked; each is replaced after a bounded number of files or of memory. A tool
// that does not (pdftk-java) is started once per file, as is every tool with
// options.processPerFile.
class ExtractionRun : public QObject {
    Q_OBJECT
public:
    ExtractionRun(QStringList files, base::Columns columns, RunOptions options,
                  base::ErrorReport errors, QObject* parent = nullptr);
    // Ends the run at once, as abort() does.
    ~ExtractionRun() override;

    // Begins; everything after happens from the event loop.
    void start();
    // The answer to passwordNeeded: the file asked about is read again with it (Cancel keeps
    // the reason it could not be read), or, with Stop, the run ends as if the list ended
    // there: the file asked about gets no row.
    void answerPassword(const platform::PasswordAnswer& answer);
    // Ends the run where it is: the rows reported stay, the files being read are let go with
    // their tools, and finished follows.
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
    // A file needs a password: it was read without one and the tool said it needs one, or
    // with one that was wrong (asked once more). answerPassword gives it. The prompt is the
    // question as the password box asks it. Asked, when asking is on, for the next row only,
    // so questions come in list order.
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

// The question the password box asks for a file, again: after a wrong password.
QString passwordPrompt(const QString& path, bool again = false);

} // namespace extract
