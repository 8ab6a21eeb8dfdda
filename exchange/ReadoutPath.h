#pragma once
// The readout file's path: a directory (the readout path) and a 13-character
// date suffix "/yy_mm_dd.txt" that the date fields build in `Datei`.
//
//   state.ReadoutPath = ReadoutPathFrom(Datei caption);   // on "Datei lesen"
//   Datei = YearName(state.ReadoutPath, "26");             // "/data/26"
//   Datei = MonthName(Datei, "12");                        // "/data/26_12"
//   Datei = DayName(Datei, "07");                          // "/data/26_12_07.txt"

#include <string>

#include "platform/PathRules.h"

namespace exchange {

inline constexpr char kPathSeparator = platform::kPathSeparator;
inline constexpr int kDateSuffixLength = 13;  // "/26_12_07.txt"

// The directory part of a `Datei` caption: a text ending in ".txt" (same
// case) with at least 13 characters loses its last 13; any other text, a
// bare directory included, is kept whole.
std::string ReadoutPathFrom(const std::string& datei);

std::string YearName(const std::string& readoutPath, const std::string& year);
std::string MonthName(const std::string& datei, const std::string& month);
std::string DayName(const std::string& datei, const std::string& day);

}  // namespace exchange
