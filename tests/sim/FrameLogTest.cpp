#include "sim/FrameLog.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "sim/Server.h"

namespace {

TEST(LogText, NamesControlCharacters)
{
    const std::pair<std::string, const char*> cases[] = {
        {"\x02"
         "806412\x03\r",
         "<STX>806412<ETX><CR>"},
        {"\x02"
         "8100 00 00\x03"
         "1234\r\r",
         "<STX>8100 00 00<ETX>1234<CR><CR>"},
        {std::string("a\0\n\x1B\x7F\xFC", 6), "a<00><LF><1B><7F><FC>"},
        {"<CR>", "<3C>CR>"},
        {"", ""},
    };
    for (const auto& [raw, text] : cases) EXPECT_EQ(sim::LogText(raw), text);
}

TEST(FrameLog, EachLineIsReadableAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("frames.log").toStdString();
    {
        std::ofstream old(path);
        old << "left over\n";
    }
    sim::FrameLog log(path);
    ASSERT_TRUE(log.Ok());
    log.Write("\x02"
              "80\x03\r");
    log.Write("\x02"
              "806412\x03\r");
    // Read while the log is still open: the writer must not hold lines back.
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "<STX>80<ETX><CR>\n<STX>806412<ETX><CR>\n");
}

TEST(SplitLine, PiecesJoinToTheLine)
{
    const std::string line = "0001;15.03.2024 00:00:00;1234567890;01234.5679F3A\r\n";
    for (std::size_t pieces : {1u, 2u, 3u, 7u}) {
        const auto parts = sim::SplitLine(line, pieces);
        EXPECT_EQ(parts.size(), pieces);
        std::string joined;
        for (const auto& p : parts) {
            EXPECT_FALSE(p.empty());
            joined += p;
        }
        EXPECT_EQ(joined, line);
    }
    EXPECT_EQ(sim::SplitLine("\r\n", 3), (std::vector<std::string>{"\r", "\n"}));
    EXPECT_EQ(sim::SplitLine("", 3), (std::vector<std::string>{""}));
}

}  // namespace
