// The day's download: where its file goes, which reply lines it stores, and
// that a folder named in any script takes it.

#include "exchange/Checksum.h"
#include "exchange/DownloadTarget.h"
#include "exchange/ReadoutFile.h"
#include "exchange/ReadoutPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace exchange;
namespace fs = std::filesystem;
using R = TReplyMode;

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

struct TreatCase {
    const char* what;
    bool downloading;
    R replyMode;
    std::string line;
    R shownAs;
    bool stored;
};

class DownloadLines : public ::testing::TestWithParam<TreatCase> {};

TEST_P(DownloadLines, StoreEveryRecordUntilTheNextFrame)
{
    const TreatCase& c = GetParam();
    TDownloadTarget download;
    if (c.downloading) download.Begin("/data/26_12_07.txt");
    const TLineTreatment t = download.Treat(c.line, c.replyMode);
    EXPECT_EQ(t.Mode, c.shownAs) << c.what;
    EXPECT_EQ(t.Store, c.stored) << c.what;
    download.End();
    EXPECT_FALSE(download.Treat(c.line, c.replyMode).Store) << c.what << ", after the next frame";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DownloadLines,
    ::testing::Values(
        TreatCase{"a record", true, R::rmStoredRecord, kRecord, R::rmStoredRecord, true},
        TreatCase{"a record after \"Wert lesen\" was chosen", true, R::rmReading, kRecord, R::rmStoredRecord, true},
        TreatCase{"a line without CR", true, R::rmStoredRecord, "ABC\n", R::rmStoredRecord, true},
        TreatCase{"a clock line a digit short", true, R::rmStoredRecord, "26.12.07 09:05:0ABCDE\r\n", R::rmStoredRecord,
                  true},
        TreatCase{"a late clock line", true, R::rmReading, kClock, R::rmDeviceClock, false},
        TreatCase{"a clock line, wrong checksum", true, R::rmStoredRecord, "00.01.01 00:00:00abcd\r\n",
                  R::rmDeviceClock, false},
        TreatCase{"a record before the transmission", false, R::rmStoredRecord, kRecord, R::rmStoredRecord, false},
        TreatCase{"a clock line before the transmission", false, R::rmStoredRecord, kClock, R::rmDeviceClock, false},
        TreatCase{"a clock-shaped reading", false, R::rmReading, kClock, R::rmReading, false}));

}  // namespace
