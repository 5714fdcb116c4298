#include "tests/support/TestWindow.h"

#include "base/EventPump.h"

namespace testsupport {

std::unique_ptr<app::MainWindow> makeMainWindow(bool load) {
    base::resetProgramEndForTesting();
    auto window = std::make_unique<app::MainWindow>();
    if (load)
        window->load();
    return window;
}

} // namespace testsupport
