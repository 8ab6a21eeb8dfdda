// The day file: where it goes, that a folder named in any script takes it,
// and what a reply line is by its shape.

#include "exchange/Checksum.h"
#include "exchange/LineShape.h"
#include "exchange/ReadoutFile.h"
#include "exchange/ReadoutPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace exchange;
namespace fs = std::filesystem;

namespace {

const std::string kName = std::string(1, kPathSeparator) + "26_12_07.txt";
const fs::path kLodz = fs::path(u8"/Łódź");
const std::string kLodzAnsi = "/?\xF3"
                              "d?";  // as the 8-bit texts spell it

struct PlaceCase {
    fs::path folder;
    std::string readoutPath, datei;
    std::optional<fs::path> file;
};

class DayFilePlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(DayFilePlace, IsTheFolderAsTheSystemNamesItAndTheBuiltName)
{
    EXPECT_EQ(DayFilePath(GetParam().folder, GetParam().readoutPath, GetParam().datei), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DayFilePlace,
    ::testing::Values(PlaceCase{kLodz, kLodzAnsi, kLodzAnsi + kName, fs::path(kLodz) += kName},
                      PlaceCase{"/data", "/data", "/data_07.txt", fs::path("/data_07.txt")},  // the day alone
                      PlaceCase{fs::path(), "", kName, std::nullopt},  // no folder shown: never the root
                      PlaceCase{"/data", "/data", "/other" + kName, std::nullopt}));

// Every line reaches the file, whatever the system's code page can spell.
TEST(DayFile, FolderNamedInAnyScriptTakesTheFile)
{
    const fs::path top = fs::temp_directory_path() / "tornvale-dayfile-test";
    for (const char8_t* name : {u8"Łódź", u8"Москва"}) {
        const fs::path folder = top / name;
        fs::create_directories(folder);
        const fs::path file = *DayFilePath(folder, "?", "?" + kName);
        ASSERT_TRUE(CreateReadoutFile(file) && AppendReadoutLine(file, "A") && AppendReadoutLine(file, "B"));
        std::ifstream in(folder / "26_12_07.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "A\r\nB\r\n");
    }
    std::error_code ec;
    fs::remove_all(top, ec);
}

std::string Line(const std::string& body)
{
    return body + ChecksumText(GetChecksumme(body, static_cast<std::int32_t>(body.size()))) + "\r\n";
}

const std::string kRecord = Line("0001;07.12.2026 00:00:00;0000004711;00012.345");
const std::string kClock = Line("26.12.07 09:05:03");

// A line's shape decides what it is, whatever was asked.
struct TShapeCase {
    const char* what;
    std::string line;
    bool clock, record, refusal;
};

class LineShapes : public ::testing::TestWithParam<TShapeCase> {};

TEST_P(LineShapes, TellClockRecordAndRefusalApart)
{
    const TShapeCase& c = GetParam();
    EXPECT_EQ(IsClockLine(c.line), c.clock) << c.what;
    EXPECT_EQ(IsRecordLine(c.line), c.record) << c.what;
    EXPECT_EQ(IsRefusal(c.line), c.refusal) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineShapes,
    ::testing::Values(TShapeCase{"a record", kRecord, false, true, false},
                      TShapeCase{"a clock line", kClock, true, false, false},
                      TShapeCase{"a clock line, wrong checksum", "00.01.01 00:00:00abcd\r\n", true, false, false},
                      TShapeCase{"a clock line a digit short", "26.12.07 09:05:0ABCDE\r\n", false, false, false},
                      TShapeCase{"a line without CR", "ABC\n", false, false, false},
                      TShapeCase{"a refusal", Line("ERR DATE"), false, false, true},
                      TShapeCase{"an answer that is no refusal", Line("OK 81"), false, false, false}));

}  // namespace
