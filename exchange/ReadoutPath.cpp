#include "exchange/ReadoutPath.h"

namespace exchange {

std::string YearName(const std::string& readoutPath, const std::string& year)
{
    return readoutPath + kPathSeparator + year;
}

std::string MonthName(const std::string& datei, const std::string& month)
{
    return datei + '_' + month;
}

std::string DayName(const std::string& datei, const std::string& day)
{
    return datei + '_' + day + ".txt";
}

}  // namespace exchange
