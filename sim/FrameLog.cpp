#include "sim/FrameLog.h"

namespace sim {

std::string LogText(const std::string& raw)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(raw.size() + 16);
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case 0x02: out += "<STX>"; break;
        case 0x03: out += "<ETX>"; break;
        case 0x0D: out += "<CR>"; break;
        case 0x0A: out += "<LF>"; break;
        case '<': out += "<3C>"; break;  // keeps a literal "<CR>" apart from a CR
        default:
            if (c < 0x20 || c >= 0x7F) {
                out += '<';
                out += hex[c >> 4];
                out += hex[c & 0xF];
                out += '>';
            } else {
                out += ch;
            }
        }
    }
    return out;
}

FrameLog::FrameLog(const std::string& path) : file_(path, std::ios::binary | std::ios::trunc) {}

bool FrameLog::Ok() const
{
    return file_.good();
}

void FrameLog::Write(const std::string& raw)
{
    file_ << LogText(raw) << '\n';
    file_.flush();
}

}  // namespace sim
