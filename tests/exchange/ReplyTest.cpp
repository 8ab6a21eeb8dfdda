#include "exchange/Checksum.h"
#include "exchange/DownloadTally.h"
#include "exchange/ReplyHandling.h"
#include "exchange/ReplyLineSplitter.h"
#include "serial/StrToInt.h"

#include <gtest/gtest.h>

using namespace exchange;
using R = TReplyMode;

namespace {

const std::string kBody45 = "0001 2026-12-07 14:05:09 0000004711 000012.34";

std::string Checksummed(const std::string& body)
{
    return body + ChecksumText(GetChecksumme(body, static_cast<std::int32_t>(body.size())));
}

std::string Line(const std::string& body)
{
    return Checksummed(body) + "\r\n";
}

}  // namespace

TEST(Reply, ReadingShowsLineAndPanels)
{
    ASSERT_EQ(kBody45.size(), 45u);
    const TReplyView v = HandleReply(Line(kBody45), R::rmReading);
    EXPECT_EQ(v.Rueckgabe, Checksummed(kBody45));
    EXPECT_EQ(v.Rueckgabe.size(), 49u);
    EXPECT_EQ(v.L_CRC, Checksummed(kBody45).substr(45));
    EXPECT_TRUE(v.ChecksumOk);
    ASSERT_TRUE(v.Panels);
    EXPECT_EQ(v.Panels->ID_Mess, "0001");
    EXPECT_EQ(v.Panels->Datum_Zeit, "2026-12-07 14:05:09");
    EXPECT_EQ(v.Panels->ID_Zaehler, "0000004711");
    EXPECT_EQ(v.Panels->Messwert, "000012.34");
    EXPECT_FALSE(v.ReadoutLine);
    EXPECT_FALSE(v.Modulzeit);
    EXPECT_FALSE(v.Failure);
}

TEST(Reply, MismatchedChecksumIsShownButFlagged)
{
    std::string line = Line(kBody45);
    line.replace(45, 4, "0000");
    const TReplyView v = HandleReply(line, R::rmStoredRecord);
    EXPECT_FALSE(v.ChecksumOk);
    EXPECT_EQ(v.ReceivedChecksum, "0000");
    ASSERT_TRUE(v.ReadoutLine);
    EXPECT_EQ(*v.ReadoutLine, kBody45 + "0000");
    EXPECT_EQ(ChecksumWarning(v, TTextLanguage::tlGerman), "Pr\xFC"
                                                           "fsumme der Antwort falsch: empfangen '0000', berechnet " +
                                                               v.L_CRC);
    EXPECT_EQ(ChecksumWarning(v, TTextLanguage::tlEnglish),
              "Wrong checksum in the answer: received '0000', computed " + v.L_CRC);
}

TEST(Reply, LowerCaseChecksumDigitsMatch)
{
    std::string line = Line("6000_00_000000");  // checksum 09F6
    ASSERT_EQ(line.substr(14, 4), "09F6");
    line[16] = 'f';
    EXPECT_TRUE(HandleReply(line, R::rmReading).ChecksumOk);
}

struct ShortCase {
    const char* what;
    std::string line;
    R mode;
    const char* rueckgabe;
    const char* idMess;       // ReplyMode 0 only
    const char* readoutLine;  // ReplyMode 1 only
};

class ShortReplies : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortReplies, TakeWhatLiesAtTheirPositions)
{
    const auto& c = GetParam();
    const TReplyView v = HandleReply(c.line, c.mode);
    EXPECT_EQ(v.Rueckgabe, c.rueckgabe) << c.what;
    EXPECT_EQ(v.L_CRC, "FFFF") << c.what;
    EXPECT_FALSE(v.ChecksumOk) << c.what;
    if (c.mode == R::rmReading) {
        ASSERT_TRUE(v.Panels);
        EXPECT_EQ(v.Panels->ID_Mess, c.idMess) << c.what;
        EXPECT_EQ(v.Panels->Messwert, "") << c.what;
    } else {
        ASSERT_TRUE(v.ReadoutLine);
        EXPECT_EQ(*v.ReadoutLine, c.readoutLine) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ShortReplies,
    ::testing::Values(ShortCase{"empty read", "", R::rmReading, "", "", nullptr},
                      ShortCase{"two characters", "12\r\n", R::rmReading, "12", "12\r\n", nullptr},
                      ShortCase{"no CR", "ABCDEFG\n", R::rmReading, "", "ABCD", nullptr},
                      ShortCase{"no CR stores an empty line", "ABCDEFG\n", R::rmStoredRecord, "", nullptr, ""},
                      ShortCase{"empty read stores an empty line", "", R::rmStoredRecord, "", nullptr, ""}));

struct ClockCase {
    std::string line;
    bool offered;
};

class ClockReplies : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockReplies, FirstNumberBelow14OffersUhrStellen)
{
    const TReplyView v = HandleReply(GetParam().line, R::rmDeviceClock);
    const std::string body = GetParam().line.substr(0, GetParam().line.size() - 6);
    EXPECT_EQ(v.Modulzeit, body);
    EXPECT_EQ(v.Rueckgabe, body);
    EXPECT_EQ(v.UhrStellenVisible, GetParam().offered);
    EXPECT_FALSE(v.Failure);
}

INSTANTIATE_TEST_SUITE_P(FirstTwoDigits, ClockReplies,
                         ::testing::Values(ClockCase{Line("00.01.01 00:00:00"), true},
                                           ClockCase{Line("13.06.30 23:59:59"), true},
                                           ClockCase{Line("14.01.01 00:00:00"), false},
                                           ClockCase{Line("99.12.31 12:00:00"), false}));

TEST(ClockReplies, NonIntegerShowsTheClockThenFails)
{
    const TReplyView v = HandleReply(Line("xx.12.07 14:05:09"), R::rmDeviceClock);
    EXPECT_EQ(v.Modulzeit, "xx.12.07 14:05:09");
    EXPECT_FALSE(v.UhrStellenVisible);
    EXPECT_EQ(v.Failure.Message(), "'xx' ist kein g\xFCltiger Integerwert");
    EXPECT_THROW(v.Failure.Raise(), EConvertError);

    const TReplyView empty = HandleReply("", R::rmDeviceClock);
    EXPECT_EQ(empty.Modulzeit, "");
    EXPECT_EQ(empty.Failure.Message(), "'' ist kein g\xFCltiger Integerwert");
}

TEST(LineSplitter, SeveralLinesInOneReadComeOutInOrder)
{
    TReplyLineSplitter s;
    const auto lines = s.Feed("A\r\nB\r\nC");
    EXPECT_EQ(lines, (std::vector<std::string>{"A\r\n", "B\r\n"}));
    EXPECT_EQ(s.PendingBytes(), 1u);
    EXPECT_EQ(s.Feed("\r\n"), std::vector<std::string>{"C\r\n"});
}

TEST(LineSplitter, PiecesAcrossReadsMakeOneLine)
{
    TReplyLineSplitter s;
    EXPECT_TRUE(s.Feed("AB").empty());
    EXPECT_TRUE(s.Feed("").empty());
    EXPECT_EQ(s.Feed("C\r\nD"), std::vector<std::string>{"ABC\r\n"});
    EXPECT_EQ(s.Feed("\n\n"), (std::vector<std::string>{"D\n", "\n"}));
    EXPECT_EQ(s.PendingBytes(), 0u);
}

TEST(LineSplitter, TailIsBoundedDroppingTheOldestBytes)
{
    TReplyLineSplitter s(8);
    EXPECT_TRUE(s.Feed("0123456789").empty());
    EXPECT_EQ(s.PendingBytes(), 8u);
    EXPECT_EQ(s.DroppedBytes(), 2u);
    EXPECT_TRUE(s.Feed("ab").empty());
    EXPECT_EQ(s.DroppedBytes(), 4u);
    EXPECT_EQ(s.Feed("\nxy"), std::vector<std::string>{"456789ab\n"});
    // A long piece on top of a tail: the whole old tail goes first.
    EXPECT_TRUE(s.Feed("ABCDEFGHIJ").empty());
    EXPECT_EQ(s.DroppedBytes(), 8u);
    EXPECT_EQ(s.Feed("\n"), std::vector<std::string>{"CDEFGHIJ\n"});
}

TEST(LineSplitter, ClearForgetsThePurgedTail)
{
    TReplyLineSplitter s;
    s.Feed("stale");
    s.Clear();
    EXPECT_EQ(s.Feed("fresh\n"), std::vector<std::string>{"fresh\n"});
    EXPECT_EQ(s.DroppedBytes(), 0u);
}

TEST(DownloadTally, CountsPerFile)
{
    TDownloadTally t;
    t.Start("/d/26_12_07.txt");
    t.Record(true, true);
    t.Record(true, false);
    t.Record(false, true);
    EXPECT_EQ(t.StoredLines(), 2);
    EXPECT_EQ(t.BadChecksumLines(), 1);
    EXPECT_EQ(t.StatusText(TTextLanguage::tlGerman), "2 Zeilen gespeichert, 1 mit falscher Pr\xFC"
                                                     "fsumme, 1 nicht gespeichert");
    EXPECT_EQ(t.StatusText(TTextLanguage::tlEnglish), "2 lines stored, 1 with a wrong checksum, 1 not stored");
    t.Start("/d/26_12_08.txt");
    t.Record(true, true);
    EXPECT_EQ(t.StatusText(TTextLanguage::tlGerman), "1 Zeile gespeichert");
    EXPECT_EQ(t.CurrentFile(), "/d/26_12_08.txt");
}
