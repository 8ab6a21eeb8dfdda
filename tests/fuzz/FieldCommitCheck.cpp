// An entry field committed with any text into any frame and file name. A
// failed commit must hand back the texts unchanged; a good one writes
// exactly the field's width at its position (counted here independently)
// and nothing else.

#include "FuzzChecks.h"

#include "exchange/FieldCommit.h"

namespace fuzzcheck {

namespace {

// Delete `count` at 1-based `pos` (only what exists), then insert `piece`
// there (appended beyond the end).
std::string Replace(std::string s, long pos, long count, const std::string& piece)
{
    if (pos >= 1 && pos <= static_cast<long>(s.size()) && count > 0)
        s.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count));
    const long at = pos < 1 ? 0 : std::min<long>(pos - 1, static_cast<long>(s.size()));
    s.insert(static_cast<std::size_t>(at), piece);
    return s;
}

}  // namespace

void FieldCommit(const std::uint8_t* data, std::size_t size)
{
    using namespace exchange;
    Input in(data, size);
    const TEntryField field = kAllEntryFields[in.Byte() % kAllEntryFields.size()];
    const std::uint8_t modeByte = in.Byte() % (kAllModes.size() + 1);
    TCommitInput input;
    if (modeByte < kAllModes.size()) input.CheckedMode = kAllModes[modeByte];
    input.FieldText = in.Until(0xFF);
    input.Frame = in.Until(0xFF);
    input.Datei = in.Until(0xFF);
    input.ReadoutPath = in.Rest();

    const TFieldDef& def = FieldDef(field);
    const TCommitResult r = CommitField(field, input);
    if (r.Failure) {
        Require(r.FieldText == input.FieldText, "a failed commit keeps the field");
        Require(r.Frame == input.Frame, "a failed commit keeps the frame");
        Require(r.Focus == field, "a failed commit keeps the focus");
        Require(!r.EnableTransmit, "a failed commit enables nothing");
        Require(!r.Failure.Message().empty(), "a failure has a message");
        return;
    }
    Require(static_cast<int>(r.FieldText.size()) == def.Width, "a committed field fills its width");
    if (!def.Normalised) Require(r.FieldText == input.FieldText, "a text field is taken as typed");
    Require(r.Frame == Replace(input.Frame, def.FramePos, def.Width, r.FieldText),
            "the field replaces exactly its place in the frame");
    switch (def.FileName) {
    case TFileNamePart::fnNone: Require(r.Datei == input.Datei, "other fields leave the file name"); break;
    case TFileNamePart::fnYear:
        Require(r.Datei.compare(0, input.ReadoutPath.size(), input.ReadoutPath) == 0 &&
                    r.Datei.size() == input.ReadoutPath.size() + 1 + r.FieldText.size(),
                "the year restarts the name from the readout path");
        break;
    case TFileNamePart::fnMonth: Require(r.Datei == input.Datei + "_" + r.FieldText, "the month appends _MM"); break;
    case TFileNamePart::fnDay:
        Require(r.Datei == input.Datei + "_" + r.FieldText + ".txt", "the day appends _TT.txt");
        break;
    }
}

}  // namespace fuzzcheck
