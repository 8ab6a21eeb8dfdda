#include "sim/Responder.h"

#include <cctype>
#include <optional>

#include "exchange/Checksum.h"
#include "sim/ReplyLine.h"

namespace sim {
namespace {

constexpr std::size_t kChecksumDigits = 4;

// The payloads' lengths, from their templates ("6000_00_000000" etc.).
constexpr std::size_t kReadLength = 14;
constexpr std::size_t kDayLength = 10;
constexpr std::size_t kSetClockLength = 19;
constexpr std::size_t kConfigLength = 20;

// Digits at a frame position counted from STX = 1, as the frame layouts are
// given; the payload starts at position 2.
std::optional<int> Number(const std::string& payload, std::size_t framePosition, std::size_t length)
{
    const std::size_t at = framePosition - 2;
    if (at + length > payload.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) {
        const unsigned char c = static_cast<unsigned char>(payload[i]);
        if (!std::isdigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<DateTime> Day(const std::string& payload)
{
    const auto yy = Number(payload, 4, 2), mm = Number(payload, 7, 2), dd = Number(payload, 10, 2);
    if (!yy || !mm || !dd) return std::nullopt;
    return DateTime{2000 + *yy, *mm, *dd, 0, 0, 0};
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

using Bodies = std::vector<std::string>;

Bodies ReadOne(const DeviceModel& model, const std::string& payload)
{
    const auto day = Day(payload);
    const auto number = Number(payload, 12, 4);
    if (payload.size() != kReadLength || !day || !number) return {reply::kBadFrame};
    if (!IsValid(*day)) return {reply::kBadDate};
    if (!HasRecord(*day, *number, model.records)) return {reply::kNoRecord};
    return {RecordBody(*day, *number, model.records)};
}

Bodies ReadDay(const DeviceModel& model, const std::string& payload)
{
    const auto day = Day(payload);
    if (payload.size() != kDayLength || !day) return {reply::kBadFrame};
    if (!IsValid(*day)) return {reply::kBadDate};
    Bodies out;
    out.reserve(static_cast<std::size_t>(model.records.perDay));
    for (int n = 1; HasRecord(*day, n, model.records); ++n) out.push_back(RecordBody(*day, n, model.records));
    return out;
}

Bodies SetClock(DeviceModel& model, const std::string& payload)
{
    const auto day = Day(payload);
    const auto hh = Number(payload, 13, 2), nn = Number(payload, 16, 2), ss = Number(payload, 19, 2);
    if (payload.size() != kSetClockLength || !day || !hh || !nn || !ss) return {reply::kBadFrame};
    const DateTime t{day->year, day->month, day->day, *hh, *nn, *ss};
    if (!IsValid(t)) return {reply::kBadDate};
    model.clock.Set(t);
    return {reply::kClockSet};
}

Bodies StoreConfig(DeviceModel& model, const std::string& payload)
{
    const auto decimals = Number(payload, 5, 1), memory = Number(payload, 7, 6), counter = Number(payload, 14, 4),
               summer = Number(payload, 19, 1), winter = Number(payload, 21, 1);
    if (payload.size() != kConfigLength || !decimals || !memory || !counter || !summer || !winter)
        return {reply::kBadFrame};
    model.config = DeviceConfig{payload[3], payload.substr(5, 6), payload.substr(12, 4), payload[17], payload[19]};
    return {reply::kConfigStored};
}

}  // namespace

std::vector<std::string> ReplyBodies(DeviceModel& model, const FrameEvent& event)
{
    switch (event.kind) {
    case FrameEvent::Kind::Garbage: return {};
    case FrameEvent::Kind::Malformed: return {reply::kBadFrame};
    case FrameEvent::Kind::Frame: break;
    }
    const std::string& body = event.body;
    // The one frame sent without a checksum: the clock query at port selection.
    if (body == "80") return {ClockText(model.clock.Now())};
    if (body.size() < 2 + kChecksumDigits) return {reply::kBadFrame};
    const std::string payload = body.substr(0, body.size() - kChecksumDigits);
    const std::string given = body.substr(payload.size());
    const auto expected = GetChecksumme(payload, static_cast<std::int32_t>(payload.size()));
    if (Upper(given) != ChecksumText(expected)) return {reply::kBadChecksum};

    const std::string command = payload.substr(0, 2);
    if (command == "80") return payload.size() == 2 ? Bodies{ClockText(model.clock.Now())} : Bodies{reply::kBadFrame};
    if (command == "60") return ReadOne(model, payload);
    if (command == "70") return ReadDay(model, payload);
    if (command == "81") return SetClock(model, payload);
    if (command == "85") return StoreConfig(model, payload);
    return {reply::kUnknownCommand};
}

Responder::Responder(DeviceModel& model, int badChecksumEvery) : model_(model), badChecksumEvery_(badChecksumEvery) {}

std::vector<std::string> Responder::Answer(const FrameEvent& event)
{
    std::vector<std::string> lines;
    for (const auto& body : ReplyBodies(model_, event)) {
        ++linesSent_;
        const bool spoil = badChecksumEvery_ > 0 && linesSent_ % static_cast<std::uint64_t>(badChecksumEvery_) == 0;
        lines.push_back(spoil ? ReplyLineWithBadChecksum(body) : ReplyLine(body));
    }
    return lines;
}

}  // namespace sim
