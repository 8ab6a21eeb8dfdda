#pragma once
// tornvale-cli's exit codes, as --help and the manual page give them.

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;          // bad usage or input: nothing was sent
inline constexpr int kExitPort = 2;           // the port cannot be opened, or the device went away
inline constexpr int kExitDevice = 3;         // no answer in time, or the request refused
inline constexpr int kExitFile = 4;           // a file could not be written
inline constexpr int kExitInterrupted = 130;  // Ctrl+C, as a shell reports SIGINT

}  // namespace cli
