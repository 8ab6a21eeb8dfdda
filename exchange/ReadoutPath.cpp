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

std::optional<std::filesystem::path> DayFilePath(const std::filesystem::path& readoutFolder,
                                                 const std::string& readoutPath, const std::string& datei)
{
    if (readoutFolder.empty() || datei.compare(0, readoutPath.size(), readoutPath) != 0) return std::nullopt;
    // What follows the readout path is the separator, digits, "_" and ".txt":
    // the same characters in every code page.
    std::filesystem::path file = readoutFolder;
    file += datei.substr(readoutPath.size());
    return file;
}

}  // namespace exchange
