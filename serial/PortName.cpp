#include <cctype>

#include "platform/ComName.h"
#include "serial/CPort.h"
#include "serial/StrToInt.h"

std::string NormalizePortName(const std::string& Text)
{
    std::string rest = Text;
    if (Text.size() >= 3 && std::toupper(static_cast<unsigned char>(Text[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(Text[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(Text[2])) == 'M')
        rest = Text.substr(3);
    std::int32_t number = TryStrToInt(rest).value_or(1);
    // A number that names no port stands for the first one.
    if (!platform::IsComNumber(number)) number = platform::kLowestComNumber;
    return platform::ComName(number);
}
