#pragma once

#include "extract/ServeFrames.h"
#include "extract/ToolCommand.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace extract {

// Our tool started once in its serving mode (pdftk --serve), reading one file after another
// on request, each from scratch: a start of a process per file costs more than reading most
// files. It is driven by the event loop: what it answers, and its end, come as signals.
//
// A request and its password go through the tool's standard input, never its arguments: a
// socket, so that a write to a tool that has gone fails rather than raising SIGPIPE, in one
// call. The tool is killed with its children when the object goes.
class ToolWorker : public QObject {
    Q_OBJECT
public:
    enum class State { Starting, Idle, Busy, Gone };

    // Starts program --serve.
    explicit ToolWorker(const QString& program, QObject* parent = nullptr);
    ~ToolWorker() override;

    State state() const { return currentState; }
    // Why it could not be started at all (an error number); 0 when it was.
    int startError() const { return spawnError; }
    // What the tool offers, as its ready line named it ("audit", "serve").
    const QStringList& features() const { return offered; }
    // How many requests may wait in the tool at once: the one it reads, and the next, which it
    // begins as soon as it has answered, without waiting for this process to ask.
    static constexpr int requestsAtOnce = 2;
    // Whether it can take another request now.
    bool hasRoom() const {
        return (currentState == State::Idle || currentState == State::Busy) && !full &&
               asked.size() < requestsAtOnce;
    }
    // Takes no more requests: it answers those asked, then is to be replaced.
    void takeNoMore() { full = true; }
    // How many requests it has not answered yet.
    int unanswered() const { return static_cast<int>(asked.size()); }
    // Asks for one file's dump; only while it has room. audit asks for the audit's lines too.
    // Requests are answered in the order asked.
    void ask(quint64 id, const QString& path, const QString& password, AuditAsked audit);
    // Ends the tool now, with its children; nothing more is told.
    void stop();
    // How many files it has answered for.
    int filesServed() const { return served; }
    // How much memory the tool holds now, in bytes; 0 when it cannot be told.
    qint64 residentBytes() const;

signals:
    // The tool is ready for requests.
    void ready();
    // The answer to the request asked.
    void answered(const extract::ServedAnswer& answer);
    // The tool has ended by itself (crashed, or broke the framing): a request asked and not
    // answered is lost, reason says why.
    void gone(const QString& reason);

private:
    void readAnswers();
    void writePending();
    void toolEnded();
    void goGone(const QString& reason);
    void closeDescriptors();

    pid_t pid = -1;
    int spawnError = 0;
    int toTool = -1;
    int fromTool = -1;
    int endNotice = -1;
    int memoryFile = -1; // the tool's /proc/PID/statm, kept open: read after every file
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    std::unique_ptr<QSocketNotifier> ended;
    QByteArray received;
    QByteArray pending;
    QStringList offered;
    std::deque<quint64> asked; // not yet answered, the one the tool reads first
    bool full = false;
    State currentState = State::Starting;
    int served = 0;
};

} // namespace extract
