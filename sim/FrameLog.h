#pragma once
// The record of what the simulator received: one line per frame, so a test or
// a developer sees exactly what the tool sent.

#include <fstream>
#include <string>

namespace sim {

// The frame's bytes with control characters named: <STX>, <ETX>, <CR>, <LF>;
// "<" itself and any other byte below 0x20 or from 0x7F on as <hh> (two
// upper-case hex digits), so a line of the log is always one line of plain text.
std::string LogText(const std::string& raw);

class FrameLog {
public:
    // Creates (or empties) the file; Ok() tells whether that worked.
    explicit FrameLog(const std::string& path);
    bool Ok() const;
    // Appends LogText(raw) and a newline, and flushes at once, so a reader
    // sees each frame as soon as it was handled.
    void Write(const std::string& raw);

private:
    std::ofstream file_;
};

}  // namespace sim
