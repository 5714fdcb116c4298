#pragma once

#include "base/Progress.h"
#include "base/Result.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <thread>

namespace base {

// Long work (writing a large file, walking a large folder tree) done in a thread of its own,
// so that the window answers throughout. It works on data of its own (a snapshot), shows how
// far it has come through progress, stops between its steps when asked, and hands what it
// finds to the thread that started it (deliver). Its end is told from the event loop.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    struct Context {
        Progress& progress;
        const StopRequest& stop;
        // Calls what it is given in the thread that started the work, in the order given.
        std::function<void(std::function<void()>)> deliver;
    };
    using Work = std::function<Status(Context&)>;

    explicit BackgroundWork(Work work, QObject* parent = nullptr);
    // Asks the work to stop and waits for its thread: nothing of it outlives this object.
    ~BackgroundWork() override;

    void start();
    // Asks the work to stop at its next step; finished follows, with base::Stopped's text.
    void stop();
    bool isRunning() const { return running; }

signals:
    void progress(int value, const QString& text);
    // The work has ended: successfully, or with why it failed or "Stopped.".
    void finished(const base::Status& result);

private:
    class SharedProgress;
    void showProgress();
    void end(const Status& result);

    Work work;
    std::unique_ptr<SharedProgress> shared;
    StopRequest stopRequest;
    std::thread thread;
    QTimer poll;
    bool running = false;
};

} // namespace base
