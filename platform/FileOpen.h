#pragma once
// Opens a file by its full name as the system spells it, whatever characters
// the folders' names hold. On Windows the narrow C run-time calls take the
// ANSI code page, which cannot name every folder (a "Łódź" under code page
// 1252); the wide call can.
//
//   std::FILE* f = platform::OpenFile(folder / "26_12_07.txt", "ab");

#include <cstdio>
#include <filesystem>

namespace platform {

// As std::fopen with the same mode ("wb", "ab", ...): nullptr and errno set
// when the file cannot be opened.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

}  // namespace platform
