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

const std::string kSep(1, kPathSeparator);

std::string Line(const std::string& body)
{
    return body + ChecksumText(GetChecksumme(body, static_cast<std::int32_t>(body.size()))) + "\r\n";
}

const std::string kRecord = Line("0001;07.12.2026 00:00:00;0000004711;00012.345");
const std::string kClock = Line("26.12.07 09:05:03");

struct PlaceCase {
    const char* what;
    fs::path folder;      // the folder as the system names it
    std::string readout;  // the same folder as the 8-bit texts spell it
    std::string datei;    // what the date fields built
    std::optional<fs::path> file;
};

class DayFilePlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(DayFilePlace, IsTheShownFolderAndTheBuiltName)
{
    EXPECT_EQ(DayFilePath(GetParam().folder, GetParam().readout, GetParam().datei), GetParam().file) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Names, DayFilePlace,
                         ::testing::Values(PlaceCase{"ASCII", "/data", "/data", "/data" + kSep + "26_12_07.txt",
                                                     fs::path("/data" + kSep + "26_12_07.txt")},
                                           PlaceCase{"a name the code page cannot spell", fs::path(u8"/Łódź"),
                                                     "/?\xF3"
                                                     "d?",
                                                     "/?\xF3"
                                                     "d?" +
                                                         kSep + "26_12_07.txt",
                                                     fs::path(u8"/Łódź") += kSep + "26_12_07.txt"},
                                           PlaceCase{"the day alone, beside the folder", "/data", "/data",
                                                     "/data_07.txt", fs::path("/data_07.txt")},
                                           PlaceCase{"no date yet: the folder itself, which cannot be created", "/data",
                                                     "/data", "/data", fs::path("/data")},
                                           PlaceCase{"no folder shown: never the root", fs::path(), "",
                                                     kSep + "26_12_07.txt", std::nullopt},
                                           PlaceCase{"a name built from another folder", "/data", "/data",
                                                     "/other" + kSep + "26_12_07.txt", std::nullopt}));

// A folder named in another script than the system's code page holds takes
// the day's file, and every line reaches it.
TEST(DayFile, FolderNamedInAnyScriptTakesTheFile)
{
    const fs::path top = fs::temp_directory_path() / "tornvale-dayfile-test";
    for (const char8_t* name : {u8"Łódź", u8"Москва"}) {
        const fs::path folder = top / name;
        fs::create_directories(folder);
        const fs::path file = *DayFilePath(folder, "?", "?" + kSep + "26_12_07.txt");
        ASSERT_TRUE(CreateReadoutFile(file));
        ASSERT_TRUE(AppendReadoutLine(file, "A"));
        ASSERT_TRUE(AppendReadoutLine(file, "B"));
        std::ifstream in(folder / "26_12_07.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "A\r\nB\r\n");
    }
    std::error_code ec;
    fs::remove_all(top, ec);
}

TEST(ClockLine, HasTheClockShapeWhateverItsChecksum)
{
    EXPECT_TRUE(IsClockLine(kClock));
    EXPECT_TRUE(IsClockLine("00.01.01 00:00:00ABCD\r\n"));  // a wrong checksum
    EXPECT_TRUE(IsClockLine("26.12.07 09:05:03abcd\r"));
    EXPECT_FALSE(IsClockLine(kRecord));
    EXPECT_FALSE(IsClockLine("26.12.07 09:05:0ABCDE\r\n"));  // a digit short
    EXPECT_FALSE(IsClockLine("26.12.07 09:05:03ABCD"));      // no CR
    EXPECT_FALSE(IsClockLine("26.12.07 09:05:03ABCG\r\n"));  // not a checksum
    EXPECT_FALSE(IsClockLine("2612.07 09:05:031ABCD\r\n"));
    EXPECT_FALSE(IsClockLine(""));
}

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
        TreatCase{"a late clock line", true, R::rmStoredRecord, kClock, R::rmDeviceClock, false},
        TreatCase{"a late clock line after \"Wert lesen\"", true, R::rmReading, kClock, R::rmDeviceClock, false},
        TreatCase{"a record before the transmission", false, R::rmStoredRecord, kRecord, R::rmStoredRecord, false},
        TreatCase{"a clock line before the transmission", false, R::rmStoredRecord, kClock, R::rmDeviceClock, false},
        TreatCase{"a reading", false, R::rmReading, kRecord, R::rmReading, false},
        TreatCase{"a clock-shaped reading", false, R::rmReading, kClock, R::rmReading, false},
        TreatCase{"the clock", false, R::rmDeviceClock, kClock, R::rmDeviceClock, false}));

}  // namespace
