#include "exchange/ClockFill.h"

#include "exchange/SystemTime.h"
#include "exchange/TextRules.h"

namespace exchange {

namespace {

struct TPanel5Part {
    TEntryField Field;
    int Panel5Pos;
};

// Reads each part of Panel5 and writes it into the frame at its field's place.
TFieldFill Fill(const std::string& panel5, const std::string& frame, std::initializer_list<TPanel5Part> parts)
{
    TFieldFill fill{{}, frame};
    for (const TPanel5Part& part : parts) {
        std::string text = Panel5Part(panel5, part.Panel5Pos);
        const TFieldDef& def = FieldDef(part.Field);
        fill.Frame = ReplaceChars(fill.Frame, def.FramePos, def.Width, text);
        fill.Fields.emplace_back(part.Field, std::move(text));
    }
    return fill;
}

}  // namespace

TFieldFill FillClockFromPanel5(const std::string& panel5, const std::string& frame)
{
    return Fill(panel5, frame,
                {{TEntryField::efTT, kPanel5Day},
                 {TEntryField::efMM, kPanel5Month},
                 {TEntryField::efJJ, kPanel5Year},
                 {TEntryField::efhh, kPanel5Hours},
                 {TEntryField::efm_m, kPanel5Minutes},
                 {TEntryField::efss, kPanel5Seconds}});
}

TFieldFill TakeOverSystemTime(const std::string& panel5, const std::string& frame)
{
    return Fill(
        panel5, frame,
        {{TEntryField::efhh, kPanel5Hours}, {TEntryField::efm_m, kPanel5Minutes}, {TEntryField::efss, kPanel5Seconds}});
}

}  // namespace exchange
