// What a technician met with a slow, late, refusing, silent or vanishing
// device, done through the window by clicks and keys alone: one request at
// a time, nothing but the day's records in its file, the device's own words
// shown as such, and a word for every request that came to nothing.

#include "E2eSupport.h"

#include "sim/Records.h"

#include <QDir>
#include <QPushButton>

#include <array>

namespace {

using e2e::WaitFor;

std::string DayOfRecords(const sim::DateTime& day, int perDay)
{
    std::string lines;
    for (int n = 1; n <= perDay; ++n) {
        const std::string body = sim::RecordBody(day, n, {perDay, 0});
        lines += body + ChecksumText(GetChecksumme(body, std::int32_t(body.size()))) + "\r\n";
    }
    return lines;
}

class RequestFaults : public e2e::TWindowTest {
protected:
    template <class T>
    T* Control(const char* name) const
    {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString StatusText() const { return Control<QStatusBar>("StatusBar")->currentMessage(); }
    std::string InReadoutDir(const char* name) const { return readoutDir.filePath(name).toStdString(); }
    // "Datei lesen" and the day typed into its three fields.
    void AskForDay(const char* yy, const char* mm, const char* dd)
    {
        Click(Control<TRadioButton>("Datei_lesen"));
        Commit(Control<TEdit>("JJ"), yy);
        Commit(Control<TEdit>("MM"), mm);
        Commit(Control<TEdit>("TT"), dd);
        Click(Control<TButton>("Uebertragen"));
    }
    int LinesIn(const std::string& file) const
    {
        const std::string bytes = e2e::ReadFileBytes(file);
        return int(std::count(bytes.begin(), bytes.end(), '\n'));
    }

    e2e::TSimulator sim;
};

// A second day asked for while the first still arrives over a slow line
// waits for it: each file holds its own day, whole.
TEST_F(RequestFaults, SecondDayDuringTheFirstKeepsEachDayInItsFile)
{
    ASSERT_TRUE(sim.Start({"--records", "40", "--split", "--split-pause-ms", "10"}));
    Connect(sim);
    const std::string day7 = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return LinesIn(day7) >= 2; })) << Boxes();
    AskForDay("26", "12", "8");
    ASSERT_LT(LinesIn(day7), 40) << "the first day was over too soon";

    const std::string day8 = InReadoutDir("26_12_08.txt");
    ASSERT_TRUE(WaitFor([&] { return e2e::ReadFileBytes(day8) == DayOfRecords({2026, 12, 8}, 40); })) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(day7), DayOfRecords({2026, 12, 7}, 40));
    EXPECT_EQ(StatusText(), QString("40 Zeilen gespeichert: %1").arg(QString::fromStdString(day8)));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// Mode clicks during a download only prepare the next request: the day
// arrives whole and no record is taken for the device clock.
TEST_F(RequestFaults, ModeClicksDuringADayLeaveItWhole)
{
    ASSERT_TRUE(sim.Start({"--records", "40", "--split", "--split-pause-ms", "10"}));
    Connect(sim);
    const std::string day7 = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return LinesIn(day7) >= 2; })) << Boxes();
    Click(Control<TRadioButton>("Uhr_stellen"));
    Click(Control<TRadioButton>("Wert_lesen"));
    Click(Control<TRadioButton>("Uhr_stellen"));
    ASSERT_LT(LinesIn(day7), 40) << "the day was over too soon";

    ASSERT_TRUE(WaitFor(
        [&] {
            return e2e::ReadFileBytes(day7) == DayOfRecords({2026, 12, 7}, 40);
        },
        20000))
        << LinesIn(day7) << " lines " << Boxes();
    EXPECT_FALSE(Control<TPanel>("Modulzeit")->Caption().contains(';'))
        << Control<TPanel>("Modulzeit")->Caption().toStdString();
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// A mode chosen after the fields were typed in another offers no frame to
// send: a good file of that day stays as it is.
TEST_F(RequestFaults, ModeChangeLeavesNothingToSendThatCouldEmptyAGoodFile)
{
    ASSERT_TRUE(sim.Start({"--records", "10"}));
    Connect(sim);
    Control<TDirectoryListBox>("DirectoryListBox1")->SetDirectory(readoutDir.path());
    const std::string good = InReadoutDir("26_12_07.txt");
    {
        std::ofstream(good, std::ios::binary) << "good\r\n";
    }
    Click(Control<TRadioButton>("Wert_lesen"));
    for (const char* value : {"5", "26", "12", "7"}) {  // MessID, JJ, MM, TT
        Type(value);
        Press(Qt::Key_Return);
    }
    Click(Control<TRadioButton>("Datei_lesen"));
    AwaitLastPollReply();
    const auto framesBefore = sim.FramesBesidesPoll();

    EXPECT_FALSE(Control<TButton>("Uebertragen")->isEnabled());
    Click(Control<TButton>("Uebertragen"));
    QTest::qWait(500);
    EXPECT_EQ(sim.FramesBesidesPoll(), framesBefore);
    EXPECT_EQ(e2e::ReadFileBytes(good), "good\r\n");
}

// What the device answers that is no data: its words in the status bar and
// in Rueckgabe, nothing in a file or in the value panels.
enum class TAsk { DayThatDoesNotExist, ValueThatDoesNotExist, ClockSet };

class DeviceAnswers : public RequestFaults, public testing::WithParamInterface<TAsk> {
protected:
    void Ask()
    {
        switch (GetParam()) {
        case TAsk::DayThatDoesNotExist: AskForDay("26", "4", "31"); return;
        case TAsk::ValueThatDoesNotExist:
            Click(Control<TRadioButton>("Wert_lesen"));
            for (const char* value : {"11", "26", "12", "7"}) {
                Type(value);
                Press(Qt::Key_Return);
            }
            break;
        case TAsk::ClockSet:
            Click(Control<TRadioButton>("Uhr_stellen"));
            Reach(Control<TEdit>("ss"));
            Commit(Control<TEdit>("ss"), "5");
            break;
        }
        Click(Control<TButton>("Uebertragen"));
    }
};

TEST_P(DeviceAnswers, AreShownNeverStoredNorTakenApart)
{
    ASSERT_TRUE(sim.Start({"--records", "10"}));
    Connect(sim);
    Control<TDirectoryListBox>("DirectoryListBox1")->SetDirectory(readoutDir.path());
    Ask();
    const char* const answers[] = {"ERR DATE", "ERR RECORD", "OK 81"};
    const QString answer = answers[int(GetParam())];
    QLabel* rueckgabe = Control<QLabel>("Rueckgabe");
    ASSERT_TRUE(WaitFor([&] { return rueckgabe->text().contains(answer); })) << rueckgabe->text().toStdString();
    if (answer.startsWith("ERR")) {
        EXPECT_EQ(StatusText(), QString::fromUtf8("Gerät meldet: ") + answer);
        EXPECT_EQ(rueckgabe->text(), StatusText());
        // Our words follow the flags at once, both ways.
        Click(Control<QPushButton>("BitBtn2"));
        EXPECT_EQ(StatusText(), "Device reports: " + answer);
        EXPECT_EQ(rueckgabe->text(), StatusText());
        Click(Control<QPushButton>("BitBtn1"));
        EXPECT_EQ(StatusText(), QString::fromUtf8("Gerät meldet: ") + answer);
        EXPECT_EQ(rueckgabe->text(), StatusText());
    }
    for (const char* panel : {"ID_Mess", "Datum_Zeit", "ID_Zaehler", "Messwert"})
        EXPECT_EQ(Control<TPanel>(panel)->Caption(), QString()) << panel;
    for (const QString& name : QDir(readoutDir.path()).entryList(QDir::Files))
        EXPECT_EQ(e2e::ReadFileBytes(readoutDir.filePath(name).toStdString()), "") << name.toStdString();
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

INSTANTIATE_TEST_SUITE_P(
    Device, DeviceAnswers, testing::Values(TAsk::DayThatDoesNotExist, TAsk::ValueThatDoesNotExist, TAsk::ClockSet),
    [](const auto& info) {
        return std::string(std::array{"DayThatDoesNotExist", "ValueThatDoesNotExist", "ClockSet"}[info.index]);
    });

// The year corrected after the day: the file is named by all three fields.
// A folder chosen after the date asks for the date again.
TEST_F(RequestFaults, CorrectedYearNamesTheWholeDayAndANewFolderAsksForTheDateAgain)
{
    ASSERT_TRUE(sim.Start({"--records", "10"}));
    Connect(sim);
    Control<TDirectoryListBox>("DirectoryListBox1")->SetDirectory(readoutDir.path());
    Click(Control<TRadioButton>("Datei_lesen"));
    AwaitLastPollReply();
    for (const char* value : {"26", "12", "7"}) {  // JJ, MM, TT
        Type(value);
        Press(Qt::Key_Return);
    }
    Reach(Control<TEdit>("JJ"));
    Commit(Control<TEdit>("JJ"), "25");
    EXPECT_EQ(Control<TPathLabel>("Datei")->Path(), readoutDir.filePath("25_12_07.txt"));
    Click(Control<TButton>("Uebertragen"));
    const std::string day = InReadoutDir("25_12_07.txt");
    ASSERT_TRUE(WaitFor([&] { return e2e::ReadFileBytes(day) == DayOfRecords({2025, 12, 7}, 10); })) << Boxes();
    EXPECT_FALSE(QFile::exists(readoutDir.filePath("25")));

    ASSERT_TRUE(QDir(readoutDir.path()).mkdir("sub"));
    Click(Control<TRadioButton>("Datei_lesen"));
    for (const char* value : {"26", "12", "7"}) {  // JJ, MM, TT
        Type(value);
        Press(Qt::Key_Return);
    }
    ASSERT_TRUE(Control<TButton>("Uebertragen")->isEnabled());
    Control<TDirectoryListBox>("DirectoryListBox1")->SetDirectory(readoutDir.filePath("sub"));
    EXPECT_FALSE(Control<TButton>("Uebertragen")->isEnabled());
    EXPECT_EQ(Control<TPathLabel>("Datei")->Path(), QDir::toNativeSeparators(readoutDir.filePath("sub")));
}

// The PC clock runs in every mode, and the clock to be set is the PC's now,
// not the one shown when the poll last ran.
TEST_F(RequestFaults, ClockToSetIsThePcClockNow)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    Click(Control<TRadioButton>("Wert_lesen"));  // the poll stops
    now = now.addSecs(120);
    ASSERT_TRUE(WaitFor([&] { return Control<TPanel>("Panel5")->Caption() == "26.12.07 03:16:15"; }, 3000))
        << Control<TPanel>("Panel5")->Caption().toStdString();
    now = now.addSecs(1);
    Click(Control<TRadioButton>("Uhr_stellen"));
    EXPECT_EQ(Control<TEdit>("m_m")->text(), "16");
    EXPECT_EQ(Control<TEdit>("ss")->text(), "16");
}

// A device that stops answering is named, and its clock shown as stale.
TEST_F(RequestFaults, SilentDeviceIsNamedAndItsClockShownStale)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    const std::string port = sim.ComName();
    sim.Stop();
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); })) << "the device's going was not shown";
    ASSERT_TRUE(sim.Start({"--silent"}, port));
    ChoosePort(port);
    ASSERT_TRUE(form->findChild<QObject*>("Timer1")->property("active").toBool()) << Boxes();
    ASSERT_TRUE(WaitFor([&] { return StatusText().contains("antwortet nicht"); }, 15000))
        << StatusText().toStdString() << Boxes();
    EXPECT_EQ(StatusText(), QString::fromStdString("Das Gerät an " + port + " antwortet nicht"));
    EXPECT_TRUE(Control<TPanel>("Modulzeit")->Caption().endsWith("(veraltet)"))
        << Control<TPanel>("Modulzeit")->Caption().toStdString();
    Click(Control<QPushButton>("BitBtn2"));
    EXPECT_EQ(StatusText(), QString::fromStdString("The device on " + port + " does not answer"));
    EXPECT_TRUE(Control<TPanel>("Modulzeit")->Caption().endsWith("(stale)"));
    Click(Control<QPushButton>("BitBtn1"));
    EXPECT_EQ(StatusText(), QString::fromStdString("Das Gerät an " + port + " antwortet nicht"));
    EXPECT_TRUE(Control<TPanel>("Modulzeit")->Caption().endsWith("(veraltet)"));
}

// A port that cannot be opened leaves no poll running on nothing: one box,
// and the PC clock goes on.
TEST_F(RequestFaults, PortThatCannotBeOpenedStopsThePoll)
{
    e2e::TSimulator other;
    ASSERT_TRUE(sim.Start({}));
    ASSERT_TRUE(other.Start({}));
    Connect(sim);
    TComPort otherProgram;  // holds the second device's port
    otherProgram.SetPortNum(other.ComName());
    otherProgram.Open();
    ChoosePort(other.ComName());
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); }, 5000));
    EXPECT_FALSE(Control<TTimer>("Timer1")->Enabled());
    now = now.addSecs(5);
    ASSERT_TRUE(WaitFor([&] { return Control<TPanel>("Panel5")->Caption() == "26.12.07 03:14:20"; }, 3000));
    QTest::qWait(1500);
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

// The device pulled during a download: the words say which device went and
// how much of which day is stored.
TEST_F(RequestFaults, LossDuringADaySaysWhatWasStored)
{
    ASSERT_TRUE(sim.Start({"--records", "1000", "--split", "--split-pause-ms", "20"}));
    Connect(sim);
    const std::string day7 = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return LinesIn(day7) >= 3; })) << Boxes();
    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return StatusText().contains("07.12.26"); }, 10000)) << StatusText().toStdString();
    const std::string lines = std::to_string(LinesIn(day7));
    EXPECT_EQ(StatusText(), QString::fromStdString("Das Gerät an " + sim.ComName() + " ist nicht mehr da: " + lines +
                                                   " Zeilen vom 07.12.26 gespeichert, der Tag ist unvollständig"));
    Click(Control<QPushButton>("BitBtn2"));
    EXPECT_EQ(StatusText(), QString::fromStdString("The device on " + sim.ComName() + " has gone: " + lines +
                                                   " lines of 07.12.26 stored, the day is incomplete"));
}

// With the adapter gone, the operator's clicks and keys are no success of
// the port: the poll's failure is shown once, not again after each act.
TEST_F(RequestFaults, OperatorActsDoNotEndThePollsFailureEpisode)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); })) << "the loss was not reported";
    Click(Control<TRadioButton>("Uhr_stellen"));
    Reach(Control<TEdit>("ss"));
    Commit(Control<TEdit>("ss"), "5");
    QTest::qWait(2500);  // two ticks of the poll
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

}  // namespace
