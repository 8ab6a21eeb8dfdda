#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/FieldCommit.h"
#include "exchange/ReadoutPath.h"
#include "serial/StrToInt.h"

#include <gtest/gtest.h>

using namespace exchange;
using F = TEntryField;
using M = TOperatingMode;

namespace {

std::string Framed(const std::string& payload)
{
    return STX + payload + ETX;
}

}  // namespace

struct NormaliseCase {
    F field;
    const char* typed;
    TCommand command;
    const char* fieldAfter;
    std::string frameAfter;
};

class Normalisation : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(Normalisation, WritesFixedWidthAtTheFieldsPlace)
{
    const auto& c = GetParam();
    const TCommitResult r = CommitField(c.field, {c.typed, CommandTemplate(c.command), "", "", std::nullopt});
    ASSERT_FALSE(r.Failure) << r.Failure.Message();
    EXPECT_EQ(r.FieldText, c.fieldAfter);
    EXPECT_EQ(r.Frame, c.frameAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Normalisation,
    ::testing::Values(
        NormaliseCase{F::efMM, "7", TCommand::cmReadValue, "07", Framed("6000_07_000000")},
        NormaliseCase{F::efMessID, "0042", TCommand::cmReadValue, "0042", Framed("6000_00_000042")},
        NormaliseCase{F::efSpeicher_ID, "123", TCommand::cmConfigure, "000123", Framed("85 0 000123 0000 0 0")},
        NormaliseCase{F::efZaehler_ID, " +9", TCommand::cmConfigure, "0009", Framed("85 0 000000 0009 0 0")},
        // No range checks: month 13 and hour 99 go in as typed.
        NormaliseCase{F::efMM, "13", TCommand::cmReadDay, "13", Framed("7000_13_00")},
        NormaliseCase{F::efhh, "99", TCommand::cmSetClock, "99", Framed("8100 00 00 99 00 00")},
        // One-character fields go in unchanged; summer (19) precedes winter (21).
        NormaliseCase{F::efSommer, "S", TCommand::cmConfigure, "S", Framed("85 0 000000 0000 S 0")},
        NormaliseCase{F::efWinter, "W", TCommand::cmConfigure, "W", Framed("85 0 000000 0000 0 W")},
        // Written wherever the frame's positions are, whatever the template.
        NormaliseCase{F::efss, "5", TCommand::cmReadValue, "05",
                      "\x02"
                      "6000_00_000000\x03"
                      "05"}));

struct RefusedCase {
    F field;
    const char* typed;
    const char* message;
};

class RefusedCommits : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCommits, LeaveFieldFrameAndFocusAlone)
{
    const auto& c = GetParam();
    const std::string frame = CommandTemplate(TCommand::cmConfigure);
    const TCommitResult r = CommitField(c.field, {c.typed, frame, "/d/26", "/d", M::omKonfig});
    ASSERT_TRUE(r.Failure);
    EXPECT_EQ(r.Failure.Message(), c.message);
    EXPECT_THROW(r.Failure.Raise(), EConvertError);
    EXPECT_EQ(r.FieldText, c.typed);
    EXPECT_EQ(r.Frame, frame);
    EXPECT_EQ(r.Focus, c.field);
    EXPECT_FALSE(r.EnableTransmit);
    // The year field resets the name before it converts; nothing else touches it.
    EXPECT_EQ(r.Datei, c.field == F::efJJ ? "/d" : "/d/26");
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RefusedCommits,
    ::testing::Values(RefusedCase{F::efJJ, "", "'' ist kein g\xFCltiger Integerwert"},
                      RefusedCase{F::efJJ, "2x", "'2x' ist kein g\xFCltiger Integerwert"},
                      RefusedCase{F::efMM, "  ", "'  ' ist kein g\xFCltiger Integerwert"},
                      RefusedCase{F::efJJ, "-5", "'-5' passt nicht in das Feld: 2 Zeichen erwartet"},
                      RefusedCase{F::efMessID, "-123", "'-123' passt nicht in das Feld: 4 Zeichen erwartet"},
                      RefusedCase{F::efSommer, "", "'' passt nicht in das Feld: 1 Zeichen erwartet"},
                      RefusedCase{F::efDezimale, "12", "'12' passt nicht in das Feld: 1 Zeichen erwartet"}));

struct DayFocusCase {
    std::optional<M> checked;
    F focus;
    bool enables;
};

class DayField : public ::testing::TestWithParam<DayFocusCase> {};

TEST_P(DayField, FocusAndTransmitFollowTheCheckedMode)
{
    const TCommitResult r =
        CommitField(F::efTT, {"7", CommandTemplate(TCommand::cmReadDay), "", "", GetParam().checked});
    EXPECT_EQ(r.Focus, GetParam().focus);
    EXPECT_EQ(r.EnableTransmit, GetParam().enables);
}

INSTANTIATE_TEST_SUITE_P(ByMode, DayField,
                         ::testing::Values(DayFocusCase{M::omWertLesen, F::efMessID, true},
                                           DayFocusCase{M::omDateiLesen, F::efJJ, true},
                                           DayFocusCase{M::omUhrStellen, F::efhh, false},
                                           DayFocusCase{M::omKonfig, F::efMessID, false},
                                           DayFocusCase{std::nullopt, F::efMessID, false}));

TEST(FieldCommit, SecondsAndSummerEnableTransmitWithoutAnyMode)
{
    EXPECT_TRUE(
        CommitField(F::efss, {"1", CommandTemplate(TCommand::cmSetClock), "", "", std::nullopt}).EnableTransmit);
    EXPECT_TRUE(
        CommitField(F::efSommer, {"1", CommandTemplate(TCommand::cmConfigure), "", "", std::nullopt}).EnableTransmit);
    EXPECT_FALSE(
        CommitField(F::efm_m, {"1", CommandTemplate(TCommand::cmSetClock), "", "", std::nullopt}).EnableTransmit);
}

class ReadoutName : public ::testing::Test {
protected:
    // Commits like the operator does: each field's result feeds the next.
    void Commit(F field, const char* typed)
    {
        const TCommitResult r = CommitField(field, {typed, frame, datei, "/data", M::omDateiLesen});
        ASSERT_FALSE(r.Failure) << r.Failure.Message();
        frame = r.Frame;
        datei = r.Datei;
    }
    std::string frame = CommandTemplate(TCommand::cmReadDay);
    std::string datei = "/data";
};

// The directory and the date part are joined by the system's separator.
const std::string kSep(1, exchange::kPathSeparator);

TEST_F(ReadoutName, YearMonthDayBuildTheFileName)
{
    Commit(F::efJJ, "26");
    Commit(F::efMM, "12");
    Commit(F::efTT, "7");
    EXPECT_EQ(datei, "/data" + kSep + "26_12_07.txt");
    EXPECT_EQ(frame, Framed("7026_12_07"));
}

TEST_F(ReadoutName, MonthTwiceAppendsTwiceYearStartsAfresh)
{
    Commit(F::efJJ, "26");
    Commit(F::efMM, "12");
    Commit(F::efMM, "12");
    EXPECT_EQ(datei, "/data" + kSep + "26_12_12");
    Commit(F::efJJ, "27");
    EXPECT_EQ(datei, "/data" + kSep + "27");
}

TEST_F(ReadoutName, DayAloneAppendsToTheDirectory)
{
    Commit(F::efTT, "7");
    EXPECT_EQ(datei, "/data_07.txt");
}
