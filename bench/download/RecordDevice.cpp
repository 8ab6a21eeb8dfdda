#include "RecordDevice.h"

#include <vector>

#include "exchange/Checksum.h"
#include "platform/PortFolder.h"
#include "sim/DeviceModel.h"
#include "sim/FrameParser.h"
#include "sim/Records.h"
#include "sim/Responder.h"

std::string RecordDevice::DayOfRecords(int count)
{
    const sim::DateTime day{2026, 12, 7, 0, 0, 0};
    const sim::RecordSettings settings{sim::kMaxRecordsPerDay, 0};
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 51);
    for (int i = 0; i < count; ++i) {
        const std::string body = sim::RecordBody(day, 1 + i % sim::kMaxRecordsPerDay, settings);
        out += body + ChecksumText(GetChecksumme(body, static_cast<std::int32_t>(body.size()))) + "\r\n";
    }
    return out;
}

RecordDevice::RecordDevice(int records) : records_(DayOfRecords(records))
{
    if (!pty_.IsOpen()) return;
    const std::string name = "COM" + std::to_string(platform::FirstFreeComNumber());
    if (!platform::LinkPort(name, pty_.SlavePath())) return;
    comName_ = name;
    thread_ = std::thread([this] { Serve(); });
}

RecordDevice::~RecordDevice()
{
    stop_ = true;
    pty_.CloseMaster();  // ends a write in progress
    if (thread_.joinable()) thread_.join();
    if (!comName_.empty()) platform::UnlinkPort(comName_);
}

void RecordDevice::Serve()
{
    sim::DeviceModel model(sim::DateTime{2026, 12, 7, 13, 5, 9}, {96, 0});
    sim::Responder responder(model);
    sim::FrameParser parser;
    std::string in;
    while (!stop_) {
        in.clear();
        const auto result = pty_.Read(in, 50);
        if (result == platform::PseudoTerminal::ReadResult::Closed) break;
        if (in.empty()) continue;
        std::vector<sim::FrameEvent> events;
        parser.Feed(in, events);
        for (const auto& event : events) {
            if (event.kind == sim::FrameEvent::Kind::Frame && event.body.rfind("70", 0) == 0) {
                asked_ = true;
                SendRecords();
                continue;
            }
            std::string answer;
            for (const auto& line : responder.Answer(event)) answer += line;
            if (!answer.empty()) pty_.WriteAll(answer);
        }
    }
}

void RecordDevice::SendRecords()
{
    firstSent_ = Clock::now();
    constexpr std::size_t kChunk = 16 * 1024;
    for (std::size_t pos = 0; pos < records_.size() && !stop_; pos += kChunk)
        if (!pty_.WriteAll(records_.substr(pos, kChunk))) return;
    allSent_ = true;
}

void RecordDevice::SendRecordsNow()
{
    SendRecords();
}
