#include "exchange/PartialWrite.h"

#include <string>

namespace exchange {

EPartialWrite::EPartialWrite(std::size_t written, std::size_t frameLength)
    : std::runtime_error("Rahmen nur teilweise gesendet (" + std::to_string(written) + " von " +
                         std::to_string(frameLength) + " Bytes)")
{
}

void CheckFrameWritten(std::size_t written, std::size_t frameLength)
{
    if (written < frameLength) throw EPartialWrite(written, frameLength);
}

}  // namespace exchange
