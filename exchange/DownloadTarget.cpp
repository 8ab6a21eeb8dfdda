#include "exchange/DownloadTarget.h"

#include "exchange/ControlChars.h"

#include <cctype>

namespace exchange {

namespace {

constexpr std::size_t kClockTextLength = 17;  // "yy.mm.dd hh:nn:ss"
constexpr std::size_t kChecksumLength = 4;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool IsClockLine(const std::string& line)
{
    const std::size_t cr = line.find(CR);
    if (cr != kClockTextLength + kChecksumLength) return false;
    for (std::size_t i = 0; i < kClockTextLength; ++i) {
        const bool digitPlace = i % 3 != 2;
        if (IsDigit(line[i]) != digitPlace) return false;
    }
    for (std::size_t i = kClockTextLength; i < cr; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(line[i]))) return false;
    return true;
}

void TDownloadTarget::Begin(const std::filesystem::path& file)
{
    file_ = file;
    active_ = true;
}

TLineTreatment TDownloadTarget::Treat(const std::string& line, TReplyMode replyMode) const
{
    const bool takenForRecord = active_ || replyMode == TReplyMode::rmStoredRecord;
    if (takenForRecord && IsClockLine(line)) return {TReplyMode::rmDeviceClock, false};
    if (active_) return {TReplyMode::rmStoredRecord, true};
    return {replyMode, false};
}

}  // namespace exchange
