#pragma once
// The command line writes UTF-8; the device's and the port list's texts are
// Windows-1252 bytes.

#include "portlist/AnsiText.h"

#include <QString>

#include <filesystem>
#include <string>

namespace cli {

inline std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

inline std::string Utf8FromAnsi(const std::string& bytes)
{
    return Utf8(QStringFromAnsi(bytes));
}

// A path as UTF-8, whatever the system's own encoding of names.
inline std::string PathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace cli
