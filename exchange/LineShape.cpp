#include "exchange/LineShape.h"

#include "exchange/ControlChars.h"

#include <cctype>

namespace exchange {

namespace {

constexpr std::size_t kClockTextLength = 17;  // "yy.mm.dd hh:nn:ss"
constexpr std::size_t kChecksumLength = 4;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool IsClockLine(const std::string& line)
{
    const std::size_t cr = line.find(CR);
    if (cr != kClockTextLength + kChecksumLength) return false;
    for (std::size_t i = 0; i < kClockTextLength; ++i) {
        const bool digitPlace = i % 3 != 2;
        if (IsDigit(line[i]) != digitPlace) return false;
    }
    for (std::size_t i = kClockTextLength; i < cr; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(line[i]))) return false;
    return true;
}

bool IsRecordLine(const std::string& line)
{
    return line.size() > 35 && line[4] == ';' && line[24] == ';' && line[35] == ';';
}

bool IsRefusal(const std::string& line)
{
    return line.compare(0, 4, "ERR ") == 0;
}

}  // namespace exchange
