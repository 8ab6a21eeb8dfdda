#include "exchange/SystemTime.h"

#include "exchange/TextRules.h"
#include "serial/StrToInt.h"

namespace exchange {

std::string FormatPanel5(const TDateTimeParts& when, char timeSeparator)
{
    return ZeroPadded(when.Year % 100, 2) + '.' + ZeroPadded(when.Month, 2) + '.' + ZeroPadded(when.Day, 2) + ' ' +
           ZeroPadded(when.Hour, 2) + timeSeparator + ZeroPadded(when.Minute, 2) + timeSeparator +
           ZeroPadded(when.Second, 2);
}

std::string Panel5Part(const std::string& panel5, int pos)
{
    return ZeroPadded(StrToInt(CopyChars(panel5, pos, 2)), 2);
}

}  // namespace exchange
