#include "exchange/TextRules.h"

#include <gtest/gtest.h>

using namespace exchange;

struct EditCase {
    const char* what;
    std::string (*edit)();
    const char* expected;
};

class TextEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(TextEdits, TakeOnlyCharactersThatExist)
{
    EXPECT_EQ(GetParam().edit(), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, TextEdits,
    ::testing::Values(
        EditCase{"copy inside", [] { return CopyChars("ABCDE", 2, 3); }, "BCD"},
        EditCase{"copy past the end stops there", [] { return CopyChars("ABCDE", 4, 9); }, "DE"},
        EditCase{"copy start below 1 counts as 1", [] { return CopyChars("ABCDE", -3, 2); }, "AB"},
        EditCase{"copy negative count", [] { return CopyChars("ABCDE", 2, -1); }, ""},
        EditCase{"copy beyond the end", [] { return CopyChars("ABCDE", 6, 1); }, ""},
        EditCase{"delete inside", [] { return DeleteChars("ABCDE", 2, 2); }, "ADE"},
        EditCase{"delete runs only to the end", [] { return DeleteChars("ABCDE", 4, 5); }, "ABC"},
        EditCase{"delete below 1 does nothing", [] { return DeleteChars("ABCDE", 0, 2); }, "ABCDE"},
        EditCase{"delete beyond the end does nothing", [] { return DeleteChars("ABCDE", 6, 1); }, "ABCDE"},
        EditCase{"insert inside", [] { return InsertChars("ABCDE", 3, "xy"); }, "ABxyCDE"},
        EditCase{"insert right after the end", [] { return InsertChars("ABCDE", 6, "xy"); }, "ABCDExy"},
        EditCase{"insert far beyond the end appends", [] { return InsertChars("ABCDE", 40, "xy"); }, "ABCDExy"},
        EditCase{"insert below 1 goes first", [] { return InsertChars("ABCDE", -2, "xy"); }, "xyABCDE"},
        EditCase{"replace in place", [] { return ReplaceChars("8100 00", 6, 2, "12"); }, "8100 12"},
        EditCase{"replace past the end appends", [] { return ReplaceChars("ABC", 5, 2, "12"); }, "ABC12"},
        EditCase{"two digits", [] { return ZeroPadded(7, 2); }, "07"},
        EditCase{"already wide enough", [] { return ZeroPadded(123, 2); }, "123"},
        EditCase{"six digits", [] { return ZeroPadded(123, 6); }, "000123"},
        EditCase{"sign before the padding", [] { return ZeroPadded(-5, 2); }, "-05"}));
