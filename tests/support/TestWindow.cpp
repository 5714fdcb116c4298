#include "tests/support/TestWindow.h"

#include "app/EventPump.h"
#include "extract/ExtractionRun.h"
#include "filelist/FileList.h"
#include "output/ResultsTable.h"

namespace testsupport {

std::unique_ptr<app::Form1> makeMainWindow(bool load) {
    app::resetProgramEndForTesting();
    auto window = std::make_unique<app::Form1>();
    filelist::attachFileList(*window);
    output::attachResultsTable(*window);
    extract::attachExtraction(*window);
    if (load)
        window->Form_Load();
    return window;
}

} // namespace testsupport
