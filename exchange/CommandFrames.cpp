#include "exchange/CommandFrames.h"

#include "exchange/Checksum.h"
#include "exchange/ControlChars.h"

namespace exchange {

const std::string& TemplatePayload(TCommand command)
{
    static const std::string readValue = "6000_00_000000";
    static const std::string readDay = "7000_00_00";
    static const std::string setClock = "8100 00 00 00 00 00";
    static const std::string configure = "85 0 000000 0000 0 0";
    static const std::string clockQuery = "80";
    switch (command) {
    case TCommand::cmReadValue: return readValue;
    case TCommand::cmReadDay: return readDay;
    case TCommand::cmSetClock: return setClock;
    case TCommand::cmConfigure: return configure;
    case TCommand::cmClockQuery: break;
    }
    return clockQuery;
}

std::string CommandTemplate(TCommand command)
{
    return STX + TemplatePayload(command) + ETX;
}

std::string ClockQueryText()
{
    const std::string& payload = TemplatePayload(TCommand::cmClockQuery);
    return payload + ChecksumText(GetChecksumme(payload, static_cast<std::int32_t>(payload.size())));
}

std::string ClockQueryFrame()
{
    return STX + ClockQueryText() + ETX + CR;
}

std::string PlainClockQueryFrame()
{
    return STX + TemplatePayload(TCommand::cmClockQuery) + ETX + CR;
}

}  // namespace exchange
