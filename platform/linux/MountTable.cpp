#include "platform/linux/MountTable.h"

#include <cctype>
#include <sstream>

namespace platform::detail {
namespace {

int DigitValue(char c, int base)
{
    const char lower = char(std::tolower(static_cast<unsigned char>(c)));
    const int value = std::isdigit(static_cast<unsigned char>(lower)) ? lower - '0'
                      : lower >= 'a' && lower <= 'z'                  ? lower - 'a' + 10
                                                                      : base;
    return value < base ? value : -1;
}

// Each `lead` followed by `digits` digits of `base` stands for the byte of that
// value; anything else is kept as it is.
std::string DecodeEscapes(const std::string& text, const std::string& lead, int digits, int base)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size();) {
        int value = -1;
        if (text.compare(i, lead.size(), lead) == 0 && i + lead.size() + digits <= text.size()) {
            value = 0;
            for (int d = 0; d < digits && value >= 0; ++d) {
                const int digit = DigitValue(text[i + lead.size() + d], base);
                value = digit < 0 ? -1 : value * base + digit;
            }
        }
        if (value >= 0 && value <= 255) {
            decoded += char(value);
            i += lead.size() + digits;
        } else {
            decoded += text[i++];
        }
    }
    return decoded;
}

}  // namespace

std::vector<Mount> ParseMountTable(const std::string& text)
{
    std::vector<Mount> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint;
        if (fields >> device >> mountPoint)
            mounts.push_back({DecodeEscapes(device, "\\", 3, 8), DecodeEscapes(mountPoint, "\\", 3, 8)});
    }
    return mounts;
}

std::string DecodeUdevName(const std::string& name)
{
    return DecodeEscapes(name, "\\x", 2, 16);
}

}  // namespace platform::detail
