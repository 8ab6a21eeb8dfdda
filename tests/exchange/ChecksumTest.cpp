#include "exchange/Checksum.h"

#include <gtest/gtest.h>

struct ChecksumCase {
    std::string text;
    std::int32_t count;
    const char* expected;
};

class ChecksumVectors : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumVectors, MatchesCrc16Modbus)
{
    const auto& c = GetParam();
    EXPECT_EQ(ChecksumText(GetChecksumme(c.text, c.count)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Known, ChecksumVectors,
                         ::testing::Values(ChecksumCase{"80", 2, "6412"}, ChecksumCase{"123456789", 9, "4B37"},
                                           ChecksumCase{"80", 0, "FFFF"}, ChecksumCase{"80", -3, "FFFF"},
                                           ChecksumCase{"", 0, "FFFF"},
                                           // Only the first `count` bytes count.
                                           ChecksumCase{"80xyz", 2, "6412"},
                                           // The unedited command templates.
                                           ChecksumCase{"6000_00_000000", 14, "09F6"},
                                           ChecksumCase{"7000_00_00", 10, "99C1"},
                                           ChecksumCase{"8100 00 00 00 00 00", 19, "5D0F"},
                                           ChecksumCase{"85 0 000000 0000 0 0", 20, "2106"}));

TEST(ChecksumText, KeepsLeadingZeros)
{
    EXPECT_EQ(ChecksumText(0x00AF), "00AF");
    EXPECT_EQ(ChecksumText(0), "0000");
    EXPECT_EQ(ChecksumText(0xFFFF), "FFFF");
}

TEST(Checksum, HighBytesAreUnsigned)
{
    // Bytes above 127 must not be sign-extended into the register.
    const std::string high("\xFC\x80", 2);
    std::uint16_t reg = 0xFFFF;
    for (unsigned char c : high) {
        reg ^= c;
        for (int i = 0; i < 8; ++i) reg = (reg & 1) ? (reg >> 1) ^ 0xA001 : reg >> 1;
    }
    EXPECT_EQ(GetChecksumme(high, 2), reg);
}
