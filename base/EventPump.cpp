#include "base/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <future>

namespace base {

namespace {
// Events are processed at most this often by letEventsRun: often enough for a smooth
// window, rarely enough that a call per cell does not multiply the cost of a loop.
constexpr qint64 pumpIntervalMs = 5;

// Set from signal handlers too, so lock-free.
std::atomic<bool> ending = false;

QElapsedTimer& sinceLastPump() {
    static QElapsedTimer timer;
    return timer;
}

void throwIfEnding() {
    if (ending)
        throw ProgramClosing{};
}
} // namespace

void letEventsRunNow() {
    throwIfEnding();
    QCoreApplication::processEvents();
    sinceLastPump().start();
    throwIfEnding();
}

void letEventsRun() {
    throwIfEnding();
    QElapsedTimer& timer = sinceLastPump();
    if (timer.isValid() && timer.elapsed() < pumpIntervalMs)
        return;
    letEventsRunNow();
}

void runLettingEventsRun(const std::function<void()>& blockingCall) {
    std::future<void> result = std::async(std::launch::async, blockingCall);
    try {
        while (result.wait_for(std::chrono::milliseconds(pumpIntervalMs)) !=
               std::future_status::ready)
            letEventsRunNow();
    } catch (...) {
        result.wait(); // the program is ending: let the call finish before unwinding
        throw;
    }
    result.get();
}

void logEscapedError(const char* description) noexcept {
    qCritical("An event handler failed: %s", description);
}

void endProgram() {
    ending = true;
    QCoreApplication::quit();
}

void endProgramFromSignal() noexcept {
    ending = true;
}

bool programIsEnding() {
    return ending;
}

void resetProgramEndForTesting() {
    ending = false;
}

} // namespace base
