// The day's file: where it goes, and that a folder named in any script
// takes it.

#include "exchange/ReadoutFile.h"
#include "exchange/ReadoutPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace exchange;
namespace fs = std::filesystem;

namespace {

const std::string kSep(1, kPathSeparator);

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

}  // namespace
