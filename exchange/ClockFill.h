#pragma once
// The PC time put into the clock-setting fields and frame: all six parts
// when "Uhr stellen" is chosen, the time alone on each poll tick while
// "Systemzeit übernehmen" holds the focus.
//
//   TClockFill f = FillClockFromPanel5(Panel5 text, Ergebnis4 caption);
//   JJ = f.JJ; ... ss = f.ss; Ergebnis4 = f.Frame;
//
//   TTimeTakeOver t = TakeOverSystemTime(Panel5 text, Ergebnis4 caption);
//   hh = t.hh; m_m = t.m_m; ss = t.ss; Ergebnis4 = t.Frame; enable Übertragen.

#include <string>

namespace exchange {

struct TClockFill {
    std::string JJ, MM, TT, hh, m_m, ss;
    std::string Frame;
};

// Day, month, year, hours, minutes, seconds from Panel5, each written into
// the frame at its field's position (day 10, month 7, year 4, hours 13,
// minutes 16, seconds 19). With 26.12.07 09:05:03 and the "81" template the
// frame reads STX "8126 12 07 09 05 03" ETX. Throws EConvertError when a
// part is not an integer; nothing is to be applied then.
TClockFill FillClockFromPanel5(const std::string& panel5, const std::string& frame);

struct TTimeTakeOver {
    std::string hh, m_m, ss;
    std::string Frame;
};

// Hours, minutes and seconds only, at frame positions 13, 16 and 19; the
// date and any checksum stay as they are. "Übertragen" is enabled after it.
// Throws EConvertError when a part is not an integer.
TTimeTakeOver TakeOverSystemTime(const std::string& panel5, const std::string& frame);

}  // namespace exchange
