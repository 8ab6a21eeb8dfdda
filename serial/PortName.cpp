#include "platform/ComName.h"
#include "serial/CPort.h"

std::string NormalizePortName(const std::string& Text)
{
    return platform::NormalizeComName(Text);
}
