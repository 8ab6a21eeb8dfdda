#include "platform/FileOpen.h"

#include <cwchar>
#include <string>

namespace platform {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));  // the modes are ASCII
    return ::_wfopen(path.c_str(), wideMode.c_str());
}

}  // namespace platform
