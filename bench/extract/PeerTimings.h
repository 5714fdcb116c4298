#pragma once

// Times the tools the program is compared with, over a list of files, each run as the program
// runs its tool: one process per file (exiftool: one process for all files), wall time, a
// time limit per file, failures counted and never fatal. Standard input is empty and the
// output is thrown away (our tool writes its dump to a scratch file, removed after each file).
//
// Fairness on a noisy, shared machine: warmPageCache reads every file once first, so no tool
// pays for the disk; timeInTurns runs the per-file tools over the same chunks of the files,
// the tool that goes first turning from chunk to chunk, so a change in the machine's load
// falls on all of them alike. exiftool's single batch process cannot take turns: it runs back
// to back with the others, on the same warmed files.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace bench {

// One file's run.
struct FileTime {
    QString path;
    double seconds = 0;
    bool failed = false;
};

// Processor time, user and system together.
struct CpuTime {
    double ownSeconds = 0;
    double toolSeconds = 0;
    bool measured = false;

    // The time used from now on: call stop() at the end.
    static CpuTime start();
    void stop();
};

// One tool's timing over a list of files.
struct Timing {
    QString name;
    // False when the tool is missing; note then says how to install it.
    bool available = true;
    QString note;
    double wallSeconds = 0;
    qsizetype files = 0;
    // Runs that exited with a status other than 0, crashed, timed out or did not start.
    qsizetype failures = 0;
    qsizetype timeouts = 0;
    // Per-file tools only: each file's run, in the order of the files.
    QList<FileTime> perFile;
    // Processor time of this process (the program, or the loop that starts the tool) and of
    // the tools it started and waited for, where measured.
    CpuTime cpu;

    double filesPerSecond() const {
        return wallSeconds > 0 ? static_cast<double>(files) / wallSeconds : 0;
    }
    double secondsPerFile() const {
        return files > 0 ? wallSeconds / static_cast<double>(files) : 0;
    }
    // Adds another part's figures (a chunk of the same tool's files).
    void add(const Timing& part);
};

struct PeerOptions {
    // Per file; exiftool's batch gets this plus one second per file.
    int timeoutMs = 30'000;
    // Where our tool's dump and exiftool's argument file and output go; a temporary folder
    // when empty.
    QString scratchFolder;
};

// The peers, found on the PATH; empty when missing.
QString findPdfinfo();
QString findExiftool();
// pdftk-java: pdftk.pdftk-java, else a pdftk on the PATH that is the Java one (never
// ourTool).
QString findPdftkJava(const QString& ourTool);

// Our tool, bare: "TOOL FILE dump_data output OUT" per file.
Timing timeOurTool(const QString& tool, const QStringList& files, const PeerOptions& options = {});
// Our tool, bare, several at once: width loops like timeOurTool's over the same list, each
// taking the next file left. No window and no program work: how far the processors allow
// tools side by side to go, the bound for the window's run with as many tools.
Timing timeOurToolSideBySide(const QString& tool, const QStringList& files, int width,
                             const PeerOptions& options = {});
// "pdfinfo FILE" per file.
Timing timePdfinfo(const QStringList& files, const PeerOptions& options = {});
// "exiftool -fast2" with the document properties asked for (title, author, subject,
// keywords, creator, producer, page count, dates, PDF version), once over all files named in
// an argument file. Failures are the files exiftool could not open or parse (its Error tag)
// and those whose properties it could not decrypt (a "password protected" warning).
Timing timeExiftoolBatch(const QStringList& files, const PeerOptions& options = {});
// pdftk-java "FILE dump_data output OUT" per file, over the files given (see evenSample).
Timing timePdftkJava(const QString& ourTool, const QStringList& files,
                     const PeerOptions& options = {});

// count files spread evenly over the list (all of them when it is shorter).
QStringList evenSample(const QStringList& files, qsizetype count);

// Reads every file once, so the page cache holds them for every tool. Returns the bytes read.
qint64 warmPageCache(const QStringList& files);

// A per-file timer: times one tool over the files given.
using PerFileTimer = std::function<Timing(const QStringList&)>;

// Runs each timer once on the first file untimed (loading the programs), then over chunks of
// the files in turns, the first timer of each chunk turning; returns each timer's sum over
// the chunks, in the order of the timers.
QList<Timing> timeInTurns(const QStringList& files, int chunks, const QList<PerFileTimer>& timers);

// The part of a per-file timing that covers the given files, under a new name.
Timing restrictedTo(const Timing& timing, const QStringList& files, const QString& name);

// A ratio to print: how many times faster per file the timing named faster is than the one
// named slower; with a target when atLeast > 0.
struct Comparison {
    QString faster;
    QString slower;
    double atLeast = 0;
};

// The timings as a table: files, failures, time-outs, wall seconds, files per second,
// milliseconds per file (mean and, for per-file tools, median); missing tools with their
// notes below it.
QString formatTimings(const QList<Timing>& timings);
// Processor time per file of the program (or bare loop) and of its tools, for the timings
// that measured it.
QString formatCpuTimes(const QList<Timing>& timings);

// One line per comparison: "FASTER: 3.10x faster per file than SLOWER (target at least 2.5x:
// met)" ("slower" when it is), or why the two cannot be compared.
QString formatRatios(const QList<Timing>& timings, const QList<Comparison>& comparisons);

} // namespace bench
