#include "exchange/Checksum.h"
#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/PartialWrite.h"
#include "exchange/Transmission.h"

#include <gtest/gtest.h>

using namespace exchange;

namespace {

std::string Sent(const std::string& payloadWithChecksum)
{
    return STX + payloadWithChecksum + ETX + CR;
}

}  // namespace

struct TemplateCase {
    TCommand command;
    const char* payload;
    const char* sentPayload;
};

class UneditedTemplates : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(UneditedTemplates, AreSentWithTheirChecksumBeforeEtx)
{
    const auto& c = GetParam();
    const std::string caption = CommandTemplate(c.command);
    EXPECT_EQ(caption, STX + std::string(c.payload) + ETX);

    const TTransmission tx = AssembleTransmission(caption);
    EXPECT_EQ(tx.Frame, Sent(c.sentPayload));
    EXPECT_EQ(tx.Frame.size(), std::string(c.payload).size() + 7);
    EXPECT_EQ(tx.ChecksumText, std::string(c.sentPayload).substr(std::string(c.payload).size()));
}

INSTANTIATE_TEST_SUITE_P(
    AllCommands, UneditedTemplates,
    ::testing::Values(TemplateCase{TCommand::cmReadValue, "6000_00_000000", "6000_00_00000009F6"},
                      TemplateCase{TCommand::cmReadDay, "7000_00_00", "7000_00_0099C1"},
                      TemplateCase{TCommand::cmSetClock, "8100 00 00 00 00 00", "8100 00 00 00 00 005D0F"},
                      TemplateCase{TCommand::cmConfigure, "85 0 000000 0000 0 0", "85 0 000000 0000 0 02106"},
                      TemplateCase{TCommand::cmClockQuery, "80", "806412"}));

TEST(ClockQuery, PollFrameCarriesChecksumSelectionFrameDoesNot)
{
    EXPECT_EQ(ClockQueryText(), "806412");
    EXPECT_EQ(ClockQueryFrame(), std::string("\x02"
                                             "806412\x03\r"));
    EXPECT_EQ(PlainClockQueryFrame(), std::string("\x02"
                                                  "80\x03\r"));
}

TEST(Transmission, EmptyPayloadGetsFFFFBetweenStxAndEtx)
{
    const TTransmission tx = AssembleTransmission(std::string{STX, ETX});
    EXPECT_EQ(tx.Frame, Sent("FFFF"));
    EXPECT_EQ(tx.ChecksumText, "FFFF");
}

TEST(Transmission, CoversEveryCharacterButFirstAndLast)
{
    // Whatever the label holds, the checksum goes before its last character.
    const TTransmission tx = AssembleTransmission("<123456789>");
    EXPECT_EQ(tx.Frame, "<1234567894B37>\r");
}

TEST(Transmission, SendingAgainRecomputesOverTheCurrentPayload)
{
    const TTransmission first = AssembleTransmission(CommandTemplate(TCommand::cmSetClock));
    ASSERT_EQ(first.Frame, Sent("8100 00 00 00 00 005D0F"));

    // Unchanged label: the very same frame again, no nested checksum.
    EXPECT_EQ(AssembleTransmission(first.Frame).Frame, first.Frame);

    // A field committed after the first transmission is covered.
    std::string label = first.Frame;
    label.replace(12, 2, "14");
    const std::string payload = "8100 00 00 14 00 00";
    const TTransmission again = AssembleTransmission(label);
    EXPECT_EQ(again.Frame, Sent(payload + ChecksumText(GetChecksumme(payload, 19))));
    EXPECT_EQ(again.Frame.size(), first.Frame.size());
}

TEST(Transmission, FieldWrittenOverOldChecksumStillResendsCleanly)
{
    // The minutes field (16-17) lands inside the checksum of a sent "60" frame.
    std::string label = AssembleTransmission(CommandTemplate(TCommand::cmReadValue)).Frame;
    label.replace(15, 2, "42");
    EXPECT_EQ(AssembleTransmission(label).Frame, Sent("6000_00_00000009F6"));
}

TEST(PartialWrite, ShortWriteRaisesWithCounts)
{
    EXPECT_NO_THROW(CheckFrameWritten(9, 9));
    try {
        CheckFrameWritten(5, 9);
        FAIL() << "no exception";
    } catch (const EPartialWrite& e) {
        EXPECT_STREQ(e.what(), "Rahmen nur teilweise gesendet (5 von 9 Bytes)");
    }
}
