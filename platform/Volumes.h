#pragma once
// The volumes a user picks a folder from. Listing them never waits for a
// volume; asking a volume about itself may wait as long as the system waits
// for an unreachable network drive (20 to 40 s on Windows), so it belongs on
// a thread of its own, never on the main thread.

#include <string>
#include <vector>

namespace platform {

// The roots of the mounted volumes, from the system's own table, without
// touching any of them: on Windows each drive letter with a root directory
// ("C:\", "D:\", ..., drive type only), on Linux each mount point.
std::vector<std::string> ListVolumeRoots();

struct VolumeState {
    bool ready = false;  // its file system answers
    std::string name;    // the volume's label, UTF-8; empty when it has none
};

// For the whole process, once at start: a call that meets a drive without its
// disk (an emptied card reader, a disk gone) fails instead of showing the
// system's box that asks for one and holds the thread until it is answered.
// Nothing to do on Linux.
void FailCriticalErrorsSilently();

// Asks the volume at `root` whether it is ready and for its name. May block
// for as long as the volume does not answer; never shows a system dialog
// (an empty disk drive is just not ready).
VolumeState ExamineVolume(const std::string& root);

}  // namespace platform
