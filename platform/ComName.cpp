#include "platform/ComName.h"

#include <cctype>

namespace platform {

std::string ComName(int number)
{
    return "COM" + std::to_string(number);
}

std::optional<int> ParseComName(const std::string& name)
{
    // Three letters and at most three digits: longer texts cannot be in range.
    if (name.size() < 4 || name.size() > 6) return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return std::nullopt;
    if (name[3] == '0') return std::nullopt;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        number = number * 10 + (name[i] - '0');
    }
    if (!IsComNumber(number)) return std::nullopt;
    return number;
}

}  // namespace platform
