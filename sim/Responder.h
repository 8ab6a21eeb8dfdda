#pragma once
// The device's side of the conversation: turns each received frame into the
// lines it answers with and carries out what the frame asks of the device.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/DeviceModel.h"
#include "sim/FrameParser.h"

namespace sim {

// The bodies answering one event, in order (no checksum, no CR LF). Garbage
// gets none, "70" one per record of the day (none for a day without
// records), every other frame exactly one. Frames carry
// payload + four hex checksum digits, except the bare clock query "80".
// Commands: "80" clock; "81" set clock (yy mm dd hh nn ss at frame positions
// 4, 7, 10, 13, 16, 19); "60" one record (yy_mm_dd and the measurement
// number at 12-15); "70" every record of a day; "85" configuration.
std::vector<std::string> ReplyBodies(DeviceModel& model, const FrameEvent& event);

class Responder {
public:
    // badChecksumEvery N > 0: every Nth line sent carries a wrong checksum.
    explicit Responder(DeviceModel& model, int badChecksumEvery = 0);

    // The complete lines (body, checksum, CR, LF) answering `event`.
    std::vector<std::string> Answer(const FrameEvent& event);

private:
    DeviceModel& model_;
    int badChecksumEvery_;
    std::uint64_t linesSent_ = 0;
};

}  // namespace sim
