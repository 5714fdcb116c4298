#include "app/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace app {

namespace {
// Events are processed at most this often by letEventsRun: often enough for a smooth
// window, rarely enough that a call per cell does not multiply the cost of a loop.
constexpr qint64 pumpIntervalMs = 5;

bool ending = false;

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

void endProgram() {
    ending = true;
    QCoreApplication::quit();
}

bool programIsEnding() {
    return ending;
}

void resetProgramEndForTesting() {
    ending = false;
}

} // namespace app
