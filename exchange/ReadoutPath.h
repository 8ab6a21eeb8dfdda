#pragma once
// The readout file's path: a directory (the readout path) and a 13-character
// date suffix "/yy_mm_dd.txt" that the date fields build in `Datei`.
//
// The readout path is the folder the directory chooser shows, taken at start
// and on every "Datei lesen" (which a change of folder runs), never from what
// `Datei` happens to hold: the date fields build names in `Datei` in every
// mode, and a name built before the folder was known must not decide where
// the day's file goes.
//
//   state.ReadoutPath = chooser's folder;                  // start, "Datei lesen"
//   Datei = YearName(state.ReadoutPath, "26");             // "/data/26"
//   Datei = MonthName(Datei, "12");                        // "/data/26_12"
//   Datei = DayName(Datei, "07");                          // "/data/26_12_07.txt"

#include <string>

#include "platform/PathRules.h"

namespace exchange {

inline constexpr char kPathSeparator = platform::kPathSeparator;

std::string YearName(const std::string& readoutPath, const std::string& year);
std::string MonthName(const std::string& datei, const std::string& month);
std::string DayName(const std::string& datei, const std::string& day);

}  // namespace exchange
