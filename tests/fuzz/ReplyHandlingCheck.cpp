// Reads of any size and content go through the line splitter, and every line
// it gives is handled in each reply mode. What must hold: no byte is made up
// or lost without being counted, every line ends at its only LF, and each
// display takes exactly the characters its positions name (counted here
// independently of the program's own text helpers).

#include "FuzzChecks.h"

#include "exchange/Checksum.h"
#include "exchange/ReplyHandling.h"
#include "exchange/ReplyLineSplitter.h"
#include "serial/StrToInt.h"

#include <cctype>

namespace fuzzcheck {

namespace {

// Characters a .. a+len-1, 1-based, only those that exist.
std::string Take(const std::string& s, long a, long len)
{
    if (a < 1) a = 1;
    if (len <= 0 || a > static_cast<long>(s.size())) return {};
    return s.substr(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(len));
}

bool IsUpperHex4(const std::string& s)
{
    if (s.size() != 4) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'A' || c > 'F')) return false;
    return true;
}

void CheckLine(const std::string& line)
{
    const auto cr = line.find('\r');
    const long n = cr == std::string::npos ? 0 : static_cast<long>(cr) + 1;
    const std::string body = Take(line, 1, n - 5);
    const std::string beforeCr = Take(line, 1, n - 1);
    const std::string expectedCrc = ChecksumText(GetChecksumme(body, static_cast<std::int32_t>(body.size())));

    using exchange::TReplyMode;
    for (TReplyMode mode : {TReplyMode::rmReading, TReplyMode::rmStoredRecord, TReplyMode::rmDeviceClock}) {
        const exchange::TReplyView v = exchange::HandleReply(line, mode);
        Require(IsUpperHex4(v.L_CRC), "L_CRC is four upper-case hex digits");
        Require(v.L_CRC == expectedCrc, "L_CRC is the checksum of the body");
        Require(!v.ChecksumOk || v.ReceivedChecksum.size() == 4, "a matching checksum has four characters");
        Require(v.Panels.has_value() == (mode == TReplyMode::rmReading), "panels only for a reading");
        Require(v.ReadoutLine.has_value() == (mode == TReplyMode::rmStoredRecord), "file line only for a record");
        Require(v.Modulzeit.has_value() == (mode == TReplyMode::rmDeviceClock), "Modulzeit only for the clock");
        switch (mode) {
        case TReplyMode::rmReading:
            Require(v.Rueckgabe == beforeCr, "a reading shows the line up to its CR");
            Require(v.Panels->ID_Mess == Take(line, 1, 4), "ID_Mess is 1-4");
            Require(v.Panels->Datum_Zeit == Take(line, 6, 19), "Datum_Zeit is 6-24");
            Require(v.Panels->ID_Zaehler == Take(line, 26, 10), "ID_Zaehler is 26-35");
            Require(v.Panels->Messwert == Take(line, 37, 9), "Messwert is 37-45");
            break;
        case TReplyMode::rmStoredRecord:
            Require(*v.ReadoutLine == beforeCr, "the stored line is the text before the first CR");
            Require(v.ReadoutLine->find('\r') == std::string::npos, "a stored line holds no CR");
            Require(v.Rueckgabe == *v.ReadoutLine, "Rueckgabe shows what is stored");
            break;
        case TReplyMode::rmDeviceClock: {
            Require(*v.Modulzeit == body && v.Rueckgabe == body, "the clock shows the body alone");
            const auto k = TryStrToInt(Take(line, 1, 2));
            Require(static_cast<bool>(v.Failure) == !k.has_value(), "a clock without a number fails");
            if (k)
                Require(v.UhrStellenVisible == (*k < exchange::kClockSettableBelow), "Uhr stellen below 14");
            else
                Require(!v.UhrStellenVisible.has_value(), "a failed clock leaves Uhr stellen alone");
            break;
        }
        }
    }
}

}  // namespace

void ReplyHandling(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    // A small tail limit, so that dropping is exercised too.
    const std::size_t limit = 1 + in.Byte() % 200;
    exchange::TReplyLineSplitter splitter(limit);
    std::string fed, out;
    while (!in.Empty()) {
        const std::string read = in.Bytes(in.Byte());
        fed += read;
        for (const std::string& line : splitter.Feed(read)) {
            Require(!line.empty() && line.back() == '\n', "a line ends with LF");
            Require(line.find('\n') == line.size() - 1, "a line holds one LF");
            CheckLine(line);
            out += line;
        }
        Require(splitter.PendingBytes() <= limit, "the tail stays within its limit");
    }
    Require(out.size() + splitter.PendingBytes() + splitter.DroppedBytes() == fed.size(),
            "every byte is in a line, the tail, or counted as dropped");
    if (splitter.DroppedBytes() == 0) Require(fed.compare(0, out.size(), out) == 0, "lines come in order, unchanged");
    // A line with nothing after it at all still must not trip the handler.
    CheckLine(std::string());
}

}  // namespace fuzzcheck
