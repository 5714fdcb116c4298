#pragma once

#include <functional>

namespace platform {

// When the desktop session, a terminal or another program asks the program to end (SIGTERM,
// SIGHUP, SIGINT), end is called from the event loop with the signal's number, so that the
// program ends as closing its window ends it: a run in progress stops its tools and the
// temporary folder goes. Without this the signal would end the program on the spot and
// leave both behind.
void onTerminationSignals(std::function<void(int signal)> end);

} // namespace platform
