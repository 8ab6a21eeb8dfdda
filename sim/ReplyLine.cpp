#include "sim/ReplyLine.h"

#include "exchange/Checksum.h"

namespace sim {
namespace {

std::uint16_t BodyChecksum(const std::string& body)
{
    return GetChecksumme(body, static_cast<std::int32_t>(body.size()));
}

}  // namespace

std::string ReplyLine(const std::string& body)
{
    return body + ChecksumText(BodyChecksum(body)) + "\r\n";
}

std::string ReplyLineWithBadChecksum(const std::string& body)
{
    // Inverting every bit always gives a different value.
    return body + ChecksumText(static_cast<std::uint16_t>(~BodyChecksum(body))) + "\r\n";
}

}  // namespace sim
