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
//   file = DayFilePath(state.ReadoutFolder, state.ReadoutPath, Datei);
//
// `Datei` and the readout path are UTF-8 texts, so they spell every folder's
// name; the file itself goes into the folder as the system names it
// (ReadoutFolder), under the name the date fields built.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/PathRules.h"

namespace exchange {

inline constexpr char kPathSeparator = platform::kPathSeparator;

std::string YearName(const std::string& readoutPath, const std::string& year);
std::string MonthName(const std::string& datei, const std::string& month);
std::string DayName(const std::string& datei, const std::string& day);

// The readout folder followed by what the date fields appended to the
// readout path in `datei`. None when there is no folder (the chooser can show
// none: the program started in a folder since deleted) or `datei` does not
// begin with the readout path: such a name has no place, and the root folder
// is never taken for one.
std::optional<std::filesystem::path> DayFilePath(const std::filesystem::path& readoutFolder,
                                                 const std::string& readoutPath, const std::string& datei);

}  // namespace exchange
