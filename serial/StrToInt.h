#pragma once
// The run-time library's integer conversion and the error it raises. The
// conversion itself sits in the platform layer, whose COM-name rule reads
// port numbers with it.

#include "platform/IntegerConversion.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// A text that is not an integer. The message is Windows-1252 text.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using platform::TryStrToInt;

// As TryStrToInt, raising EConvertError "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(const std::string& text);
