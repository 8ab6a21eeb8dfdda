// The run-time's integer conversion against a second, independent reading of
// its grammar: blanks, an optional sign, then decimal digits, or hex digits
// after $, x, X, 0x or 0X, and nothing after. Where the grammar leaves the
// answer open (a sign before a large hex number) only the two entry points
// are compared with each other.

#include "FuzzChecks.h"

#include "serial/StrToInt.h"

#include <cctype>
#include <cstdint>
#include <optional>

namespace fuzzcheck {

namespace {

struct Reading {
    enum class Kind { Value, Invalid, Open } kind;
    std::int32_t value = 0;
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Reading Read(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) return {Reading::Kind::Open};
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
        if (i == s.size()) return {Reading::Kind::Open};  // "0x": a zero with a stray x, or no digits
    }
    if (i == s.size()) return {Reading::Kind::Invalid};
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = hex ? HexDigit(s[i]) : (std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : -1);
        if (d < 0) return {Reading::Kind::Invalid};
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFull) return {Reading::Kind::Invalid};  // beyond 32 bits either way
    }
    if (hex) {
        if (negative && value > 0x7FFFFFFFull) return {Reading::Kind::Open};
        const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return {Reading::Kind::Value, negative ? -bits : bits};
    }
    if (negative ? value > 2147483648ull : value > 2147483647ull) return {Reading::Kind::Invalid};
    const auto signedValue = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    return {Reading::Kind::Value, static_cast<std::int32_t>(signedValue)};
}

}  // namespace

void IntegerConversion(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> tried = TryStrToInt(text);

    std::optional<std::int32_t> raised;
    bool failed = false;
    try {
        raised = StrToInt(text);
    } catch (const EConvertError& error) {
        failed = true;
        // what() is a C string: the message reads up to a NUL in the text.
        const std::string expected = "'" + text + "' ist kein g\xFCltiger Integerwert";
        Require(std::string(error.what()) == expected.substr(0, expected.find('\0')),
                "the conversion error names the text");
    }
    Require(failed == !tried.has_value(), "StrToInt fails exactly when TryStrToInt does");
    Require(!tried || raised == tried, "StrToInt and TryStrToInt agree");

    const Reading expected = Read(text);
    if (expected.kind == Reading::Kind::Value) Require(tried == expected.value, "an integer text gives its value");
    if (expected.kind == Reading::Kind::Invalid) Require(!tried.has_value(), "a text outside the grammar is refused");
}

}  // namespace fuzzcheck
