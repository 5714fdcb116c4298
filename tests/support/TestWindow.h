#pragma once

#include "app/Form1.h"

#include <memory>

namespace testsupport {

// A main window with every subsystem's handlers attached, as the program builds it, loaded
// (start-up sequence run) unless told otherwise. The program-end request of an earlier
// window's close is taken back first.
std::unique_ptr<app::Form1> makeMainWindow(bool load = true);

} // namespace testsupport
