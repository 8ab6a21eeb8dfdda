#pragma once
// COM names. Windows numbers its COM ports 1 to 255. One reading of a port
// number out of a text, ReadComNumber, stands behind both rules below: what
// the serial component makes of any text it is given as a port name, and the
// one name per port that the port folder, the device detection, the port
// list and the simulator accept.

#include <optional>
#include <string>

namespace platform {

inline constexpr int kLowestComNumber = 1;
inline constexpr int kHighestComNumber = 255;

constexpr bool IsComNumber(long long number)
{
    return number >= kLowestComNumber && number <= kHighestComNumber;
}

// "COM7" for 7: the canonical name of a port.
std::string ComName(int number);

// The port a text names. "COM" in any case may lead; the rest is read by the
// run-time's integer conversion (IntegerConversion.h: leading blanks, a sign,
// decimal digits or hexadecimal ones after $, x or 0x, nothing after them).
// "COM7", "com7", "7", "COM 7", "COM007", "COM+7" and "COM$7" all name port
// 7; a text that reads as no number from 1 to 255 names none ("COM0",
// "COM256", "COM7 ", "COM7x", "LPT1", "COM", "").
std::optional<int> ReadComNumber(const std::string& text);

// The name the serial component keeps for any text: the canonical name of
// the port the text names, and COM1 for a text that names none. So "com7",
// "COM 7" and "COM$7" are kept as "COM7"; "COM0", "COM256", "LPT1" and ""
// as "COM1".
std::string NormalizeComName(const std::string& text);

// The port of a canonical name: ComName's spelling with COM in any case
// ("COM7", "com7"). Every other spelling of a port ("7", "COM07", "COM 7",
// "COM+7", "COM$7") is refused, so that no port has two names in the port
// folder and a link's name cannot reach outside it.
std::optional<int> ParseComName(const std::string& name);

}  // namespace platform
