#include "base/BackgroundWork.h"

#include <mutex>

namespace base {

namespace {
// How often the window is shown the work's progress.
constexpr int progressIntervalMs = 50;
} // namespace

// Progress set in the work's thread and read in the window's.
class BackgroundWork::SharedProgress final : public Progress {
public:
    void setValue(int value) override {
        const std::lock_guard lock(mutex);
        shownValue = value;
        changed = true;
    }
    int value() const override {
        const std::lock_guard lock(mutex);
        return shownValue;
    }
    void setText(const QString& text) override {
        const std::lock_guard lock(mutex);
        shownText = text;
        changed = true;
    }
    QString text() const override {
        const std::lock_guard lock(mutex);
        return shownText;
    }
    // What is shown now, when it changed since last asked.
    bool takeChange(int& value, QString& text) {
        const std::lock_guard lock(mutex);
        if (!changed)
            return false;
        changed = false;
        value = shownValue;
        text = shownText;
        return true;
    }

private:
    mutable std::mutex mutex;
    int shownValue = 0;
    QString shownText;
    bool changed = false;
};

BackgroundWork::BackgroundWork(Work toDo, QObject* parent)
    : QObject(parent), work(std::move(toDo)), shared(std::make_unique<SharedProgress>()) {
    poll.setInterval(progressIntervalMs);
    connect(&poll, &QTimer::timeout, this, [this] { showProgress(); });
}

BackgroundWork::~BackgroundWork() {
    stopRequest.request();
    if (thread.joinable())
        thread.join();
}

void BackgroundWork::start() {
    if (running || thread.joinable())
        return;
    running = true;
    poll.start();
    thread = std::thread([this] {
        Context context{*shared, stopRequest, [this](std::function<void()> call) {
                            QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
                        }};
        Status result = Status::success();
        try {
            result = work(context);
        } catch (const std::exception& error) {
            result = Status::failure(QString::fromUtf8(error.what()));
        }
        // Told from the event loop, after everything delivered before it.
        QMetaObject::invokeMethod(
            this, [this, result] { end(result); }, Qt::QueuedConnection);
    });
}

void BackgroundWork::stop() {
    stopRequest.request();
}

void BackgroundWork::showProgress() {
    int value = 0;
    QString text;
    if (shared->takeChange(value, text))
        emit progress(value, text);
}

void BackgroundWork::end(const Status& result) {
    thread.join();
    poll.stop();
    showProgress();
    running = false;
    emit finished(result);
}

} // namespace base
