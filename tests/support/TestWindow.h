#pragma once

#include "app/MainWindow.h"

#include <memory>

namespace testsupport {

// A main window as the program builds it, loaded (start-up sequence run) unless told
// otherwise. The program-end request of an earlier window's close is taken back first.
std::unique_ptr<app::MainWindow> makeMainWindow(bool load = true);

} // namespace testsupport
