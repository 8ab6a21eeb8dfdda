#include <cctype>

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
    // Windows numbers COM ports 1 to 255; anything else would name no port.
    if (number < 1 || number > 255) number = 1;
    return "COM" + std::to_string(number);
}
