#pragma once
// The run-time library's integer conversion, shared by the port-name rule and
// the device exchange's field entry.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// A text that is not an integer. The message is Windows-1252 text.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Accepts leading blanks, an optional sign, then decimal digits or hex digits
// after $, x, X, 0x or 0X, and nothing after the digits. Decimal must fit a
// signed 32-bit integer; hex may use all 32 bits ($FFFFFFFF is -1).
std::optional<std::int32_t> TryStrToInt(const std::string& text);

// As TryStrToInt, raising EConvertError "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(const std::string& text);
