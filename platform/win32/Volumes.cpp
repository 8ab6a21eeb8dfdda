// Volumes on Windows: the drive letters and their types come from the system's
// own table; only GetVolumeInformation talks to the volume, and that waits for
// an unreachable network drive until the redirector gives up.
#include "platform/Volumes.h"

#include "platform/win32/Win32.h"

namespace platform {

std::vector<std::string> ListVolumeRoots()
{
    std::vector<std::string> roots;
    const ::DWORD letters = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (1u << i))) continue;
        const std::string root = std::string(1, char('A' + i)) + ":\\";
        const ::UINT type = ::GetDriveTypeA(root.c_str());
        if (type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR) roots.push_back(root);
    }
    return roots;
}

void FailCriticalErrorsSilently()
{
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);
}

VolumeState ExamineVolume(const std::string& root)
{
    // An empty floppy or card reader answers "not ready" instead of asking the
    // user to insert a disk; per thread, so other threads keep their mode.
    ::DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const std::wstring wideRoot(root.begin(), root.end());
    wchar_t name[MAX_PATH + 1] = {};
    VolumeState state;
    state.ready = ::GetVolumeInformationW(wideRoot.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetThreadErrorMode(previousMode, nullptr);
    if (state.ready) state.name = win32::Utf8(name);
    return state;
}

}  // namespace platform
