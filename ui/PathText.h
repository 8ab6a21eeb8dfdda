#pragma once
// Paths between the file system and the widgets, as the system names them:
// a folder named "Łódź" or "Москва" is shown under that name, and the name
// shown is the name written, on every system (Windows' narrow code page
// cannot spell either).

#include <QString>

#include <filesystem>

QString PathText(const std::filesystem::path& path);
std::filesystem::path PathOf(const QString& text);
