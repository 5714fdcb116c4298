#pragma once

// The inside of the extraction run (ExtractionRun.h), shared by its two source files: the
// run's course (ExtractionRun.cpp) and how its files are read by tools (RunTools.cpp).

#include "base/Progress.h"
#include "extract/ExtractionRun.h"
#include "extract/ServeFrames.h"
#include "extract/ToolProcess.h"
#include "extract/ToolWorker.h"
#include "extract/WaitingProgress.h"
#include "platform/FileEntry.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace extract {

// With several tools, files are started this many per tool ahead of the row being made: a
// slow file does not hold up the others.
constexpr int filesAheadPerTool = 8;
// How soon a read that waits for a resource (open files, processes) is tried again.
constexpr int retryIntervalMs = 20;

// How many tools may work at once: as many as asked, as far as the open-file limit allows.
int toolsAllowed(int asked);

// Progress that the run tells its observers about.
class ReportedProgress final : public base::Progress {
public:
    explicit ReportedProgress(ExtractionRun& reportedBy) : run(reportedBy) {}
    void setValue(int value) override;
    int value() const override { return shownValue; }
    void setText(const QString& text) override;
    QString text() const override { return shownText; }
    void show(int value, const QString& text);

private:
    ExtractionRun& run;
    int shownValue = 0;
    QString shownText;
};

// A file of the run from the moment its entry is looked up until its row is reported. Should
// the run end early, its tool is stopped and its output goes with it.
struct FileInRun {
    ~FileInRun();

    int number = 0; // from 1, in list order
    QString path;
    // Looked up before the tool opens the file: reading it may change the date it was last
    // read, and the row shows the dates from before the run.
    platform::FileEntry entry;

    // Read by a process of its own: the process, its output file, and its watches.
    QString outputFile;
    std::unique_ptr<ToolProcess> tool;
    std::unique_ptr<QSocketNotifier> endWatch;
    std::unique_ptr<QSocketNotifier> errorWatch;
    // Read by a tool that serves: the tool while it reads it, the request and its answer, or
    // why the tool ended without one.
    ToolWorker* worker = nullptr;
    quint64 request = 0;
    bool queued = false; // asked of a worker that still reads another file
    std::optional<ServedAnswer> served;
    QString workerEnded;

    QElapsedTimer reading; // since its tool began on it (a queued file's has not begun)
    bool stoppedAtLimit = false;
    QString problem; // why it cannot be read, known before a tool ends
    // The password of the read in progress, and a read waiting to begin with this one (a
    // start that lacked a resource, a password just given, or a tool to wait for).
    QString password;
    std::optional<QString> readWith;
    QElapsedTimer tryingToStart;
    // How often its password was asked; whether the one it was read with was the answer
    // given for all remaining files.
    int asked = 0;
    bool passwordForAll = false;

    // Whether a tool reads it now, or will as soon as one can.
    bool beingRead() const { return readWith || worker || (tool && !tool->endNoticed()); }
    // Forgets the read before: a new one begins.
    void forgetRead();
};

class ExtractionRun::Work {
public:
    Work(ExtractionRun& owner, QStringList list, base::Columns wanted, RunOptions runOptions,
         base::ErrorReport report);

    enum class State { NotStarted, Running, Asking, Finished };
    // How files are read: decided at the start by whether the tool serves.
    enum class Mode { Deciding, Workers, ProcessPerFile };

    void start();
    void answer(const platform::PasswordAnswer& answer);
    void stop();
    void abort();

    ExtractionRun& run;
    const QStringList files;
    const base::Columns columns;
    const RunOptions options;
    const base::ErrorReport errors;
    State state = State::NotStarted;

    // The run's course (ExtractionRun.cpp).
private:
    // Reports the rows whose files are done, starts the next files, asks the passwords due,
    // and finishes when all is done; called from the event loop whenever something happened.
    void advance();
    void scheduleAdvance();
    void startMoreFiles();
    // Holds a file that needs a password: asks for it, or reads the file again with the
    // answer given for all; false when its row is to be made as it is.
    bool holdForPassword(FileInRun& file);
    void askPassword(FileInRun& file);
    void continueAfterAnswer();
    base::ResultRowData rowOf(FileInRun& file, const QString& problem,
                              const std::optional<QByteArray>& output);
    void report(FileInRun& file);
    QString caption(const FileInRun& file) const;
    int valueFor(const FileInRun& file) const;
    void showProgressFor(const FileInRun& file);
    void followTheFront();
    void finish();

    // Reading by tools (RunTools.cpp).
    void decideMode();
    // How files are read, and with the audit or not: by what the tool named when it started.
    void decided(Mode decidedMode, const QStringList& features);
    int toolsAtWork() const;
    bool roomForAnotherRead() const;
    // Begins (or begins again) to read a file with a password, as soon as a tool can.
    void read(FileInRun& file, const QString& password);
    void beginWaitingReads();
    // One try to start the file's own tool; false when it failed for want of a resource.
    bool tryToStartProcess(FileInRun& file, const QString& password);
    void watch(FileInRun& file);
    void onProcessEvent(FileInRun& file);
    // The worker to ask next: an idle one, else one that can queue another file within its
    // share; none when all are full.
    ToolWorker* workerWithRoom() const;
    // Its files not yet answered go back to wait for a worker: a worker that is replaced may
    // hold a request it has not begun.
    void askAgainElsewhere(ToolWorker* worker);
    void addWorker();
    void onWorkerReady(ToolWorker* worker);
    void onAnswer(ToolWorker* worker, const ServedAnswer& answer);
    void onWorkerGone(ToolWorker* worker, const QString& reason);
    void retire(ToolWorker* worker);
    bool workLeft() const;
    void onTick();
    // What the tool gave of a file that has been read, and why it could not be read.
    std::optional<QByteArray> outputOf(FileInRun& file);
    QString problemOf(FileInRun& file, bool wroteOutput) const;
    // Whether the tool ended by itself saying the file needs a password, or another one.
    bool toolSaysPasswordNeeded(const FileInRun& file) const;
    QString outputFileFor(int number) const;

    ReportedProgress shown;
    const int tools;
    Mode mode = Mode::Deciding;
    // Whether the audit's lines are wanted, and asked of the tool (when it can give them).
    const bool auditWanted;
    AuditAsked audit = AuditAsked::No;
    int nextFile = 1; // the next to start on, from 1
    bool stopping = false;
    bool advanceScheduled = false;
    std::deque<std::unique_ptr<FileInRun>> inRun; // in list order
    std::vector<std::unique_ptr<ToolWorker>> workers;
    quint64 lastRequest = 0;
    // The answer to the question asked of the first file in the run, once it has come.
    std::optional<platform::PasswordAnswer> answered;
    QElapsedTimer askedSince;
    // The answer the user gave for all remaining files of this run; it lives no longer.
    std::optional<QString> passwordForAll;
    // Why the tool cannot be started, once it has failed to: it is not tried again.
    QString toolUnusable;
    // The wait for the first file of those in the run, and which one it is.
    std::unique_ptr<WaitingProgress> waiting;
    int waitingFor = 0;
    QElapsedTimer runClock;
    QTimer tick;
    QTimer retry;
    RunSummary summary;
};

} // namespace extract
