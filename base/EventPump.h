#pragma once

#include <exception>
#include <functional>

namespace base {

// Long operations run on the one user-interface thread and let waiting window events run
// between their small steps, so the window repaints and stays usable meanwhile.

// Processes the waiting window events, but at most once every few milliseconds, so that a
// call per cell of a large table costs next to nothing.
// Throws ProgramClosing once the main window has been closed.
void letEventsRun();

// Processes the waiting window events now, whatever the time since the last call.
// Throws ProgramClosing once the main window has been closed.
void letEventsRunNow();

// Runs one long blocking call (a library writing a large file at once) on a worker thread
// while window events keep running, and returns when it has ended; its exception, if any,
// is thrown here. The call is always waited for, also when the program is ending meanwhile:
// nothing it uses may go away under it.
void runLettingEventsRun(const std::function<void()>& blockingCall);

// Thrown out of a long operation when the program is ending; caught only where a handler
// was entered (runHandler), so the operation unwinds at once and releases what it holds.
struct ProgramClosing {};

// Ends the program: every long operation in progress stops at its next event pump, and the
// event loop quits once they have unwound.
void endProgram();
bool programIsEnding();
// The same from a signal handler (an interrupted command line): only marks the end, which
// the next event pump acts on.
void endProgramFromSignal() noexcept;

// Tests close many main windows in one process; this takes back the end of the program.
void resetProgramEndForTesting();

// Writes an error that reached runHandler to the program's error output.
void logEscapedError(const char* description) noexcept;

// Runs an event handler. A long operation abandoned by endProgram() ends here quietly; an
// error that a handler without an error report of its own lets through is written to the
// error output. No exception ever reaches Qt's event dispatch.
template <typename Handler> void runHandler(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const ProgramClosing&) {
        // The program is ending: the operation has unwound, nothing is left to do.
    } catch (const std::exception& error) {
        logEscapedError(error.what());
    } catch (...) {
        logEscapedError("an unknown error");
    }
}

} // namespace base
