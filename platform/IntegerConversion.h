#pragma once
// The run-time library's integer conversion, below every layer that reads a
// number out of a text: the COM-name rule here, the device exchange through
// serial/StrToInt.h.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Accepts leading blanks, an optional sign, then decimal digits or hex digits
// after $, x, X, 0x or 0X, and nothing after the digits. Decimal must fit a
// signed 32-bit integer; hex may use all 32 bits ($FFFFFFFF is -1).
std::optional<std::int32_t> TryStrToInt(const std::string& text);

}  // namespace platform
