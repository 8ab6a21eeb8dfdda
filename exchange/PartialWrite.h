#pragma once
// A frame is written in one piece or not at all as far as the device is
// concerned; a short write must not pass as sent.
//
//   CheckFrameWritten(CPort1->WriteText(frame), frame.size());

#include <cstddef>
#include <stdexcept>

namespace exchange {

// Message "Rahmen nur teilweise gesendet (5 von 9 Bytes)" (Windows-1252).
class EPartialWrite : public std::runtime_error {
public:
    EPartialWrite(std::size_t written, std::size_t frameLength);
};

// Throws EPartialWrite when fewer than frameLength bytes were written.
void CheckFrameWritten(std::size_t written, std::size_t frameLength);

}  // namespace exchange
