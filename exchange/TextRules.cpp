#include "exchange/TextRules.h"

#include <cstdio>

namespace exchange {

namespace {

int Length(const std::string& text)
{
    return static_cast<int>(text.size());
}

}  // namespace

std::string CopyChars(const std::string& text, int start, int count)
{
    if (start < 1) start = 1;
    if (count <= 0 || start > Length(text)) return {};
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

std::string DeleteChars(const std::string& text, int pos, int count)
{
    if (pos < 1 || pos > Length(text) || count <= 0) return text;
    std::string out = text;
    out.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count));
    return out;
}

std::string InsertChars(const std::string& text, int pos, const std::string& piece)
{
    if (pos < 1) pos = 1;
    if (pos > Length(text)) return text + piece;
    std::string out = text;
    out.insert(static_cast<std::size_t>(pos - 1), piece);
    return out;
}

std::string ReplaceChars(const std::string& text, int pos, int count, const std::string& piece)
{
    return InsertChars(DeleteChars(text, pos, count), pos, piece);
}

std::string ZeroPadded(std::int32_t value, int digits)
{
    if (digits < 0) digits = 0;
    if (digits > 16) digits = 16;  // widest field is 6; keeps the buffer ample
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*d", digits, static_cast<int>(value));
    return buffer;
}

int PosOf(char c, const std::string& text)
{
    const auto at = text.find(c);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace exchange
