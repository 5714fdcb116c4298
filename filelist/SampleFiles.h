#pragma once

#include <QString>

namespace base {
class FileListModel;
struct Services;
} // namespace base

namespace platform {
class Folders;
}

namespace filelist {

// Records the files of the program folder's Samples/ under "Snapshot", scrambled. Start-up
// calls it while none are recorded.
void recordSampleFiles(const platform::Folders& folders);

// "Load Sample/Example Files": adds the recorded sample files that still exist and are not
// listed yet, then asks whether to open the samples folder in the desktop's file manager
// (every time, also when nothing was added). Throws RunTimeError when, asked to, it could
// not open the folder.
void loadSampleFiles(base::FileListModel& files, const base::Services& services);

} // namespace filelist
