// "Datei lesen" of a whole day: the readout file holds exactly the lines the
// device sent, in order, none lost and no empty one, whether the lines
// arrive whole or in pieces. The figures (lines sent, stored, seconds) are
// printed and recorded with the test's result.

#include "tests/support/WindowControl.h"
#include "E2eSupport.h"

#include "sim/Records.h"

#include <QElapsedTimer>

#include <iostream>

namespace {

using e2e::WaitFor;

// The day's records as the device sends them and the file must hold them.
std::string DayOfRecords(int perDay)
{
    std::string lines;
    for (int n = 1; n <= perDay; ++n) {
        const std::string body = sim::RecordBody({2026, 12, 7}, n, {perDay, 0});
        lines += body + ChecksumText(GetChecksumme(body, std::int32_t(body.size()))) + "\r\n";
    }
    return lines;
}

class Download : public e2e::TWindowTest, public testing::WithParamInterface<std::vector<std::string>> {
protected:
    e2e::TSimulator sim;
};

TEST_P(Download, ThousandRecordsAreStoredExactly)
{
    constexpr int kRecords = 1000;
    std::vector<std::string> args = {"--records", std::to_string(kRecords)};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    ASSERT_TRUE(sim.Start(args));
    Connect(sim);

    QElapsedTimer took;
    took.start();
    const std::string file = DownloadDay("26", "12", "7");
    const std::string expected = DayOfRecords(kRecords);
    ASSERT_TRUE(
        WaitFor([&] { return form->Session().Request().Tally.StoredLines() >= kRecords; }, 5 * e2e::kPatienceMs))
        << form->Session().Request().Tally.StoredLines() << " stored " << Boxes();
    const double seconds = took.elapsed() / 1000.0;

    const std::string stored = e2e::ReadFileBytes(file);
    const auto storedLines = std::count(stored.begin(), stored.end(), '\n');
    std::cout << "day download" << (GetParam().empty() ? "" : " " + GetParam().front()) << ": " << kRecords
              << " lines sent, " << storedLines << " stored, in " << seconds << " s\n";
    RecordProperty("lines_sent", kRecords);
    RecordProperty("lines_stored", int(storedLines));
    RecordProperty("seconds", std::to_string(seconds));

    EXPECT_EQ(stored.size(), expected.size());
    EXPECT_TRUE(stored == expected) << "the file differs from the lines sent";
    EXPECT_EQ(stored.find("\r\n\r\n"), std::string::npos) << "an empty line was stored";
    EXPECT_EQ(form->Session().Request().Tally.StoredLines(), kRecords);
    EXPECT_EQ(form->Session().Request().Tally.LostLines(), 0);
    EXPECT_EQ(form->Session().Request().Tally.BadChecksumLines(), 0);
    EXPECT_EQ(form->Session().Splitter().DroppedBytes(), 0u);
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(),
              QString("1000 Zeilen gespeichert: %1").arg(QString::fromStdString(file)));
    EXPECT_EQ(Ctl<QLabel>(form, "Rueckgabe")->text().toStdString() + "\r\n", expected.substr(expected.size() - 51));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

INSTANTIATE_TEST_SUITE_P(Lines, Download,
                         testing::Values(std::vector<std::string>{},
                                         // each line in three pieces with pauses between them
                                         std::vector<std::string>{"--split", "--split-pause-ms", "1"}),
                         [](const auto& info) { return info.param.empty() ? "Whole" : "Split"; });

// A second download of the same day empties the file first; the lines of a
// file that has vanished meanwhile are shown, counted as lost and reported
// in one box.
TEST_F(Download, RepeatedDayReplacesTheFileAndAVanishedFileIsReported)
{
    ASSERT_TRUE(sim.Start({"--records", "20"}));
    Connect(sim);
    const std::string file = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return form->Session().Request().Tally.StoredLines() == 20; }));
    ASSERT_EQ(e2e::ReadFileBytes(file), DayOfRecords(20));

    ASSERT_EQ(DownloadDay("26", "12", "7"), file);
    ASSERT_TRUE(WaitFor([&] { return form->Session().Request().Tally.StoredLines() == 20; }));
    EXPECT_EQ(e2e::ReadFileBytes(file), DayOfRecords(20));  // not twice

    // The file removed right after the frame went out, well before the
    // device (answering 3 s late) sends the first line.
    Ctl<TTimer>(form, "Timer1")->SetEnabled(false);
    sim.Stop();
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() == 1; })) << "the device's going was not shown";
    ASSERT_TRUE(sim.Start({"--records", "20", "--delay-ms", "3000"}, form->Session().Port().PortNum()));
    Ctl<TPanel>(form, "Modulzeit")->SetCaption(QString());
    ChoosePort(sim.ComName());
    Ctl<TTimer>(form, "Timer1")
        ->SetEnabled(false);  // before its first tick: a late answer to one would land in the file
    ASSERT_TRUE(WaitFor([&] { return !Ctl<TPanel>(form, "Modulzeit")->Caption().isEmpty(); }));
    ASSERT_EQ(DownloadDay("26", "12", "7"), file);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    ASSERT_TRUE(WaitFor([&] { return form->Session().Request().Tally.LostLines() == 20; })) << Boxes();
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() > 1; }));
    EXPECT_EQ(form->Session().Request().Tally.StoredLines(), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));  // appending never creates it
    int appendBoxes = 0;
    for (const auto& box : boxes.Seen()) appendBoxes += box.Text == "Fehler ...";
    EXPECT_EQ(appendBoxes, int(boxes.Seen().size()) - 1) << Boxes();
    EXPECT_TRUE(Ctl<QStatusBar>(form, "StatusBar")->currentMessage().contains("20 nicht gespeichert"))
        << Ctl<QStatusBar>(form, "StatusBar")->currentMessage().toStdString();
}

}  // namespace
