#pragma once
// The one rule for COM names, shared by the port folder, the serial component
// and the simulator: Windows numbers its COM ports 1 to 255, so only those
// names are listed, linked or opened; any other name would reach no port.

#include <optional>
#include <string>

namespace platform {

inline constexpr int kLowestComNumber = 1;
inline constexpr int kHighestComNumber = 255;

constexpr bool IsComNumber(long long number)
{
    return number >= kLowestComNumber && number <= kHighestComNumber;
}

// "COM7" for 7.
std::string ComName(int number);

// "COM7" or "com7" -> 7: COM in any case followed by a COM number written in
// decimal digits without a leading zero. Anything else (COM0, COM07, COM256,
// blanks, other text) is no COM name, which also keeps a link name from
// reaching outside the port folder.
std::optional<int> ParseComName(const std::string& name);

}  // namespace platform
