#pragma once
// The readout file: created empty when a "Datei lesen" frame is sent, one
// line appended per stored reply line, closed again after every operation.
//
//   if (!CreateReadoutFile(day file)) { show kCreateFailedText; return; }
//   ...
//   if (!AppendReadoutLine(day file, line)) show kAppendFailedText;
//
// Opening failures are answered with false (the window shows a fixed text);
// a failure while writing or closing (full disk, refused access, I/O error)
// is raised as EInOutError, after the file has been closed. Paths are the
// system's own names, so a folder may be named in any script.

#include "exchange/SessionTexts.h"

#include <filesystem>
#include <string>

namespace exchange {

inline constexpr const char* kCreateFailedText = "Error ...1";
inline constexpr const char* kAppendFailedText = "Fehler ...";

// Creates the file, or empties it when it exists. False when it cannot be
// opened for writing (missing directory, a directory's name, refused access);
// then `systemError`, if given, receives the system's reason (an errno).
bool CreateReadoutFile(const std::filesystem::path& path, int* systemError = nullptr);

// Why a day file could not be created, in plain words (Windows-1252), for
// the box under kCreateFailedText: refused access, a folder gone, a full
// disk, an invalid name, a folder of that name, or the system's error number.
std::string CreateFailureReason(int systemError, TTextLanguage language);

// Whether the file can be written, without emptying it: a file that holds a
// day is emptied only once the request for the day has gone out. A missing
// file is created empty.
// `systemError`, if given, receives the system's reason (an errno) when not.
bool CanWriteReadoutFile(const std::filesystem::path& path, int* systemError = nullptr);

// Appends `line` and CR LF, byte for byte. False when the file does not exist
// or cannot be opened for appending; nothing is written then. A line is
// stored whole or not at all: when writing or closing fails, the file is
// taken back to its length before the line, then EInOutError is raised.
bool AppendReadoutLine(const std::filesystem::path& path, const std::string& line);

}  // namespace exchange
