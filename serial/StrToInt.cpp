#include "serial/StrToInt.h"

std::int32_t StrToInt(const std::string& text)
{
    if (auto v = TryStrToInt(text)) return *v;
    throw EConvertError("'" + text + "' ist kein g\xFCltiger Integerwert");
}
