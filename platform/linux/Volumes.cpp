// Volumes on Linux: the mount table lists them, statfs asks one, and udev's
// /dev/disk/by-label names the file systems that carry a label.
#include "platform/Volumes.h"

#include "platform/linux/MountTable.h"

#include <sys/statfs.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::vector<detail::Mount> MountsNow()
{
    std::ifstream in("/proc/self/mounts");
    std::stringstream text;
    text << in.rdbuf();
    return detail::ParseMountTable(text.str());
}

std::string LabelOf(const std::string& device)
{
    std::error_code ec;
    const fs::path node = fs::canonical(device, ec);
    if (ec) return {};
    for (const auto& entry : fs::directory_iterator("/dev/disk/by-label", ec)) {
        std::error_code linkError;
        if (fs::canonical(entry.path(), linkError) == node && !linkError)
            return detail::DecodeUdevName(entry.path().filename().string());
    }
    return {};
}

}  // namespace

std::vector<std::string> ListVolumeRoots()
{
    std::vector<std::string> roots;
    for (const auto& mount : MountsNow()) roots.push_back(mount.mountPoint);
    return roots;
}

void FailCriticalErrorsSilently() {}

VolumeState ExamineVolume(const std::string& root)
{
    VolumeState state;
    struct statfs info {};
    state.ready = ::statfs(root.c_str(), &info) == 0;
    if (!state.ready) return state;
    // The last mount on a point is the one seen there.
    const auto mounts = MountsNow();
    for (auto m = mounts.rbegin(); m != mounts.rend(); ++m)
        if (m->mountPoint == root) {
            state.name = LabelOf(m->device);
            break;
        }
    return state;
}

}  // namespace platform
