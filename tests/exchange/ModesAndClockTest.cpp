#include "exchange/ClockFill.h"
#include "exchange/ControlChars.h"
#include "exchange/FieldCommit.h"
#include "exchange/ModeTable.h"
#include "exchange/SystemTime.h"
#include "exchange/Transmission.h"
#include "serial/StrToInt.h"

#include <gtest/gtest.h>

#include <set>

using namespace exchange;

namespace {

// The cover panel (0-based: Panel1..Panel4) over each field's group.
std::size_t CoverOf(TEntryField f)
{
    switch (f) {
    case TEntryField::efMessID: return 0;
    case TEntryField::efJJ:
    case TEntryField::efMM:
    case TEntryField::efTT: return 1;
    case TEntryField::efhh:
    case TEntryField::efm_m:
    case TEntryField::efss: return 2;
    default: return 3;
    }
}

std::set<TEntryField> VisibleFields(const TModeDef& mode)
{
    std::set<TEntryField> visible;
    for (TEntryField f : kAllEntryFields)
        if (!mode.CoverVisible[CoverOf(f)]) visible.insert(f);
    return visible;
}

}  // namespace

TEST(ModeTable, EnterWalksExactlyTheVisibleFieldsAndWrapsAround)
{
    for (TOperatingMode m : kAllModes) {
        const TModeDef& mode = ModeDef(m);
        const std::set<TEntryField> visible = VisibleFields(mode);
        // "Uhr stellen" leaves the focus alone; its path begins at the year.
        const TEntryField first = mode.Focus.value_or(TEntryField::efJJ);
        // Fields are numbered in screen order: the path starts at the leftmost.
        ASSERT_EQ(first, *visible.begin()) << mode.Handler;

        std::set<TEntryField> walked;
        TEntryField at = first;
        std::string frame = CommandTemplate(mode.Command);
        do {
            ASSERT_TRUE(visible.count(at)) << mode.Handler << " left the visible groups";
            ASSERT_TRUE(walked.insert(at).second) << mode.Handler << " visits a field twice";
            const TCommitResult r = CommitField(at, {FieldDef(at).InitialText, frame, "", "", m});
            ASSERT_FALSE(r.Failure);
            // Every visible field writes inside its mode's frame, before ETX.
            EXPECT_EQ(r.Frame.size(), frame.size()) << FieldDef(at).Name;
            EXPECT_EQ(r.Frame.back(), ETX) << FieldDef(at).Name;
            frame = r.Frame;
            at = r.Focus;
        } while (at != first);
        EXPECT_EQ(walked, visible) << mode.Handler;
    }
}

TEST(ModeTable, OnlyDateiLesenTouchesTheReadoutFile)
{
    for (TOperatingMode m : kAllModes) {
        const TModeDef& mode = ModeDef(m);
        const bool dateiLesen = m == TOperatingMode::omDateiLesen;
        EXPECT_EQ(mode.ResetsReadoutPath, dateiLesen) << mode.Handler;
        EXPECT_EQ(mode.FileChoosersVisible, dateiLesen) << mode.Handler;
        EXPECT_EQ(mode.ReplyMode == TReplyMode::rmStoredRecord, dateiLesen) << mode.Handler;
        EXPECT_EQ(mode.SystemzeitVisible, m == TOperatingMode::omUhrStellen) << mode.Handler;
    }
}

TEST(ClockFill, UhrStellenTakesAllSixPartsFromPanel5)
{
    const TFieldFill f = FillClockFromPanel5("26.12.07 09:05:03", CommandTemplate(TCommand::cmSetClock));
    using F = TEntryField;
    const std::vector<std::pair<F, std::string>> filled = {{F::efTT, "07"}, {F::efMM, "12"},  {F::efJJ, "26"},
                                                           {F::efhh, "09"}, {F::efm_m, "05"}, {F::efss, "03"}};
    EXPECT_EQ(f.Fields, filled);  // day first, as the mode handler fills them
    EXPECT_EQ(f.Frame, std::string("\x02"
                                   "8126 12 07 09 05 03\x03"));
}

TEST(ClockFill, NonNumericPanelRaisesConversionError)
{
    EXPECT_THROW(FillClockFromPanel5("26.1x.07 09:05:03", CommandTemplate(TCommand::cmSetClock)), EConvertError);
    EXPECT_THROW(TakeOverSystemTime("", CommandTemplate(TCommand::cmSetClock)), EConvertError);
}

TEST(SystemTime, Panel5FixedPositions)
{
    EXPECT_EQ(FormatPanel5({2026, 12, 7, 14, 5, 9}, ':'), "26.12.07 14:05:09");
    EXPECT_EQ(FormatPanel5({2000, 1, 2, 0, 0, 0}, '.'), "00.01.02 00.00.00");
    const std::string p = FormatPanel5({2026, 12, 7, 3, 14, 15}, ':');
    EXPECT_EQ(Panel5Part(p, kPanel5Year), "26");
    EXPECT_EQ(Panel5Part(p, kPanel5Month), "12");
    EXPECT_EQ(Panel5Part(p, kPanel5Day), "07");
    EXPECT_EQ(Panel5Part(p, kPanel5Hours), "03");
    EXPECT_EQ(Panel5Part(p, kPanel5Minutes), "14");
    EXPECT_EQ(Panel5Part(p, kPanel5Seconds), "15");
}

TEST(SystemTime, TakeOverReplacesOnlyTheTime)
{
    const std::string panel = FormatPanel5({2026, 12, 7, 14, 5, 9}, ':');
    const std::string filled = FillClockFromPanel5("26.12.07 09:05:03", CommandTemplate(TCommand::cmSetClock)).Frame;
    const TFieldFill t = TakeOverSystemTime(panel, filled);
    // The date fields keep what they hold.
    const decltype(t.Fields) time{{TEntryField::efhh, "14"}, {TEntryField::efm_m, "05"}, {TEntryField::efss, "09"}};
    EXPECT_EQ(t.Fields, time);
    EXPECT_EQ(t.Frame, std::string("\x02"
                                   "8126 12 07 14 05 09\x03"));

    // On a sent frame the old checksum stays; sending again replaces it.
    const std::string sent = AssembleTransmission(filled).Frame;
    const TFieldFill again = TakeOverSystemTime(panel, sent);
    EXPECT_EQ(again.Frame.substr(0, 20), std::string("\x02"
                                                     "8126 12 07 14 05 09"));
    EXPECT_EQ(again.Frame.substr(20), sent.substr(20));
}
