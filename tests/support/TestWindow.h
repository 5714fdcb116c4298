#pragma once

#include "app/MainWindow.h"
#include "tests/support/TestServices.h"

#include <memory>

namespace testsupport {

// A main window as the program builds it, on the test's services (whose prompts also show
// its modal windows), loaded (start-up sequence run) unless told otherwise.
std::unique_ptr<app::MainWindow> makeMainWindow(TestServices& services, bool load = true);

} // namespace testsupport
