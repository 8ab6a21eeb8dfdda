#include "platform/ComName.h"

#include "platform/IntegerConversion.h"

#include <cctype>

namespace platform {
namespace {

// Equal but for the case of letters.
bool SameLetters(const std::string& text, const std::string& upper)
{
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
    return true;
}

}  // namespace

std::string ComName(int number)
{
    return "COM" + std::to_string(number);
}

std::optional<int> ReadComNumber(const std::string& text)
{
    const bool prefixed = text.size() >= 3 && SameLetters(text.substr(0, 3), "COM");
    const auto number = TryStrToInt(prefixed ? text.substr(3) : text);
    if (!number || !IsComNumber(*number)) return std::nullopt;
    return *number;
}

std::string NormalizeComName(const std::string& text)
{
    return ComName(ReadComNumber(text).value_or(kLowestComNumber));
}

std::optional<int> ParseComName(const std::string& name)
{
    const auto number = ReadComNumber(name);
    if (!number || !SameLetters(name, ComName(*number))) return std::nullopt;
    return number;
}

}  // namespace platform
