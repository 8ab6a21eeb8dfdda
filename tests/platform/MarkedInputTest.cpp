#include "platform/linux/MarkedInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::detail {
namespace {

// "b41" = byte 0x41, "x41" = bad byte 0x41, "brk" = break.
std::vector<std::string> Decode(const std::vector<std::string>& chunks)
{
    MarkedInputDecoder decoder;
    std::vector<std::string> items;
    for (const auto& chunk : chunks) {
        decoder.Feed(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size(),
                     [&](MarkedInputDecoder::Kind kind, std::uint8_t b) {
                         char text[8];
                         std::snprintf(text, sizeof text, "%s%02x", kind == MarkedInputDecoder::Kind::Byte ? "b" : "x",
                                       b);
                         items.push_back(kind == MarkedInputDecoder::Kind::Break ? "brk" : text);
                     });
    }
    return items;
}

struct DecodeRow {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> items;
};
void PrintTo(const DecodeRow& row, std::ostream* out)
{
    *out << row.name;
}

class MarkedInput : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(MarkedInput, Decodes)
{
    EXPECT_EQ(Decode(GetParam().chunks), GetParam().items);
}

using S = std::string;
INSTANTIATE_TEST_SUITE_P(Rows, MarkedInput,
                         ::testing::Values(DecodeRow{"Plain", {S("A\n")}, {"b41", "b0a"}},
                                           DecodeRow{"LiteralFF", {S("\xFF\xFF")}, {"bff"}},
                                           DecodeRow{"Break", {S("\xFF\x00\x00", 3)}, {"brk"}},
                                           DecodeRow{"BadByte", {S("\xFF\x00\x41", 3)}, {"x41"}},
                                           DecodeRow{"NulIsPlain", {S("\x00\x00", 2)}, {"b00", "b00"}},
                                           // Marks split across reads decode the same.
                                           DecodeRow{"SplitLiteral",
                                                     {S("a\xFF"), S("\xFF"
                                                                    "b")},
                                                     {"b61", "bff", "b62"}},
                                           DecodeRow{"SplitBreak", {S("\xFF"), S("\x00", 1), S("\x00", 1)}, {"brk"}},
                                           DecodeRow{"SplitBadByte", {S("\xFF\x00", 2), S("\x0A")}, {"x0a"}},
                                           // Not a mark the kernel makes: both bytes are kept.
                                           DecodeRow{"StrayFF",
                                                     {S("\xFF"
                                                        "A")},
                                                     {"bff", "b41"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MarkedInput, ResetForgetsAHalfMark)
{
    MarkedInputDecoder decoder;
    std::vector<int> bytes;
    const auto emit = [&](MarkedInputDecoder::Kind, std::uint8_t b) { bytes.push_back(b); };
    const std::uint8_t ff = 0xFF;
    decoder.Feed(&ff, 1, emit);
    decoder.Reset();
    const std::uint8_t a = 'a';
    decoder.Feed(&a, 1, emit);
    EXPECT_EQ(bytes, std::vector<int>{'a'});
}

}  // namespace
}  // namespace platform::detail
