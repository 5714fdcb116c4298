#pragma once

#include <QList>
#include <QString>

namespace testsupport {

// A stand-in for the tool: a shell script named pdftk, written into a folder, for
// behaviours the real tool cannot be made to show (running for seconds, hanging, crashing,
// writing nothing). Every run appends its arguments and what it read on standard input to
// the log "calls.log" beside it.
class FakeTool {
public:
    // body: shell commands run after the call is logged. $out is the output file named on
    // the command line, $input what was read from standard input.
    FakeTool(const QString& folder, const QString& body);

    QString path() const { return folder + QStringLiteral("/pdftk"); }
    QString log() const;
    int calls() const;

    // A body that writes a dump with the given title and page count into $out.
    static QString writesDump(const QString& title, int pages);
    // A body that acts as the tool on a protected document: given no password, it says one is
    // required; given another than accepted (when not empty), that it is wrong; otherwise it
    // goes on with then.
    static QString needsPassword(const QString& accepted, const QString& then);
    // A body that starts a child which would run for ever, records its process id in
    // "child.pid" (and appends it to "children.pids"), and waits for it.
    static QString hangsWithChild();

    // True while a process of that id is alive.
    static bool processAlive(qint64 pid);
    qint64 childPid() const;
    // The children of every hanging run so far.
    QList<qint64> childPids() const;

private:
    QString folder;
};

} // namespace testsupport
