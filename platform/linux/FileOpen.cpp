#include "platform/FileOpen.h"

namespace platform {

// A Linux name is the file system's bytes, which the path holds as they are.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

}  // namespace platform
