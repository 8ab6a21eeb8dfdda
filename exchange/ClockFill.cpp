#include "exchange/ClockFill.h"

#include "exchange/FieldTable.h"
#include "exchange/SystemTime.h"
#include "exchange/TextRules.h"

namespace exchange {

namespace {

// Reads one part of Panel5 and writes it into the frame at the field's place.
std::string FillPart(const std::string& panel5, int panel5Pos, TEntryField field, std::string& frame)
{
    std::string text = Panel5Part(panel5, panel5Pos);
    const TFieldDef& def = FieldDef(field);
    frame = ReplaceChars(frame, def.FramePos, def.Width, text);
    return text;
}

}  // namespace

TClockFill FillClockFromPanel5(const std::string& panel5, const std::string& frame)
{
    TClockFill fill;
    fill.Frame = frame;
    fill.TT = FillPart(panel5, kPanel5Day, TEntryField::efTT, fill.Frame);
    fill.MM = FillPart(panel5, kPanel5Month, TEntryField::efMM, fill.Frame);
    fill.JJ = FillPart(panel5, kPanel5Year, TEntryField::efJJ, fill.Frame);
    fill.hh = FillPart(panel5, kPanel5Hours, TEntryField::efhh, fill.Frame);
    fill.m_m = FillPart(panel5, kPanel5Minutes, TEntryField::efm_m, fill.Frame);
    fill.ss = FillPart(panel5, kPanel5Seconds, TEntryField::efss, fill.Frame);
    return fill;
}

TTimeTakeOver TakeOverSystemTime(const std::string& panel5, const std::string& frame)
{
    TTimeTakeOver take;
    take.Frame = frame;
    take.hh = FillPart(panel5, kPanel5Hours, TEntryField::efhh, take.Frame);
    take.m_m = FillPart(panel5, kPanel5Minutes, TEntryField::efm_m, take.Frame);
    take.ss = FillPart(panel5, kPanel5Seconds, TEntryField::efss, take.Frame);
    return take;
}

}  // namespace exchange
