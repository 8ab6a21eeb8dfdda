#include "exchange/Transmission.h"

#include "exchange/Checksum.h"
#include "exchange/ControlChars.h"
#include "exchange/TextRules.h"

#include <algorithm>

namespace exchange {

namespace {

constexpr std::size_t kChecksumLength = 4;
// The tail a sent frame carries after its payload: checksum, ETX, CR.
constexpr std::size_t kSentTail = kChecksumLength + 2;

bool IsUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool IsSentFrame(const std::string& caption)
{
    if (caption.size() < 1 + kSentTail || caption.front() != STX) return false;
    if (caption[caption.size() - 1] != CR || caption[caption.size() - 2] != ETX) return false;
    const auto checksum = caption.end() - static_cast<std::ptrdiff_t>(kSentTail);
    return std::all_of(checksum, checksum + kChecksumLength, IsUpperHexDigit);
}

std::string ChecksumOf(const std::string& text, int count)
{
    return ChecksumText(GetChecksumme(text, count));
}

}  // namespace

TTransmission AssembleTransmission(const std::string& caption)
{
    if (IsSentFrame(caption)) {
        const std::string payload = caption.substr(1, caption.size() - 1 - kSentTail);
        const std::string checksum = ChecksumOf(payload, static_cast<int>(payload.size()));
        return {STX + payload + checksum + ETX + CR, checksum};
    }

    const std::string frame = caption + CR;
    const int n = static_cast<int>(frame.size()) - 3;
    const std::string checksum = ChecksumOf(CopyChars(frame, 2, n), n);
    return {InsertChars(frame, n + 2, checksum), checksum};
}

}  // namespace exchange
