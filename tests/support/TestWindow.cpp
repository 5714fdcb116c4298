#include "tests/support/TestWindow.h"

namespace testsupport {

std::unique_ptr<app::MainWindow> makeMainWindow(TestServices& services, bool load) {
    auto window = std::make_unique<app::MainWindow>(services.services(), services.prompts);
    if (load)
        window->load();
    return window;
}

} // namespace testsupport
