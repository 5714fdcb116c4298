#pragma once

namespace app {
class Form1;
}

namespace filelist {

// "1. Add All PDF File(s) In Folder": asks for an extension and a folder, remembers both,
// and appends every file of that extension in the folder's whole tree, with the hourglass
// shown meanwhile.
void PushButton4_Click(app::Form1& window);

} // namespace filelist
