// The README's tasks done as a person does them: a click on the mode, the
// digits typed into whatever field holds the focus, Enter, a click on
// "Übertragen". What arrives at the simulated device, what the window shows
// and which files appear where the folder list points.

#include "tests/support/WindowControl.h"
#include "OperatorSupport.h"

#include <QScopeGuard>

#include <array>

namespace {

using e2e::SentFrame;
using e2e::WaitFor;
using operator_test::DayOfRecords;

class ReadmeTask : public operator_test::TOperatorTest {};

// "Read a value": the typed number and date reach the device, the four
// panels show its record.
TEST_F(ReadmeTask, ReadAValue)
{
    PickPort();
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    AwaitLastPollReply();
    Enter("12");
    Enter("26");
    Enter("12");
    Enter("7");
    EXPECT_EQ(Ctl<TEdit>(form, "MessID")->text(), "0012");
    EXPECT_EQ(Ctl<TEdit>(form, "TT")->text(), "07");
    ASSERT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    Click(Ctl<TButton>(form, "Uebertragen"));

    ASSERT_TRUE(DeviceReceived(SentFrame("6026_12_070012"))) << e2e::Logged(form->Session().Request().Frame);
    const std::string body = sim::RecordBody({2026, 12, 7}, 12, {operator_test::kRecordsPerDay, 0});
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "ID_Mess")->Caption() == "0012"; }))
        << Ctl<QLabel>(form, "Rueckgabe")->text().toStdString();
    EXPECT_EQ(Ctl<TPanel>(form, "Datum_Zeit")->Caption().toStdString(), body.substr(5, 19));
    EXPECT_EQ(Ctl<TPanel>(form, "ID_Zaehler")->Caption().toStdString(), body.substr(25, 10));
    EXPECT_EQ(Ctl<TPanel>(form, "Messwert")->Caption().toStdString(), body.substr(36, 9));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// "Download a day" into a folder opened in the list by double-click: the
// file holds the day's records, in that folder, under the name shown,
// whatever script the folder's name is written in.
class ReadmeFolder : public ReadmeTask, public testing::WithParamInterface<const char*> {};

TEST_P(ReadmeFolder, DownloadADayIntoAFolderOpenedByDoubleClick)
{
    const QString folder = InHome(GetParam());
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    DoubleClickFolder(folder);
    ASSERT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), folder);
    AwaitLastPollReply();
    Enter("26");
    Enter("12");
    Enter("7");
    const QString file = folder + "/26_12_07.txt";
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), file);
    Click(Ctl<TButton>(form, "Uebertragen"));

    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(QFile::encodeName(file).toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_EQ(QDir(home).entryList(QDir::Files), QStringList{});
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
    // The status bar names the file as the system does, in the caption
    // language of the moment.
    const QString lines = QString::number(operator_test::kRecordsPerDay);
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), lines + " Zeilen gespeichert: " + file);
    Click(Ctl<QPushButton>(form, "BitBtn2"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), lines + " lines stored: " + file);
    Click(Ctl<QPushButton>(form, "BitBtn1"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), lines + " Zeilen gespeichert: " + file);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ReadmeFolder, testing::ValuesIn(operator_test::kHomeFolders), [](const auto& info) {
    return std::string(std::array{"Latin", "Polish", "Cyrillic"}[info.index]);
});

// Opening the folder already open again (Enter or a double-click on the
// highlighted entry) keeps the name the date fields built.
TEST_F(ReadmeTask, OpeningTheOpenFolderAgainKeepsTheFileName)
{
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    AwaitLastPollReply();
    Enter("26");
    Enter("12");
    Enter("7");
    const QString file = InHome("26_12_07.txt");
    ASSERT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), file);
    DoubleClickFolder(home);
    Press(Qt::Key_Return);  // the highlighted entry is the open folder
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), file);
    EXPECT_EQ(Frame(), "\x02"
                       "7026_12_07\x03");
    Click(Ctl<TButton>(form, "Uebertragen"));

    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(file.toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// "Set the device clock", typed: a double-click selects the year, each
// Enter moves on with the next value selected; picking the port again reads
// the clock back, and from year 14 on "Uhr stellen" is no longer offered.
TEST_F(ReadmeTask, SetTheDeviceClockTyped)
{
    PickPort();
    ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));
    EXPECT_EQ(Ctl<TEdit>(form, "JJ")->text(), "26");  // from the PC clock
    QTest::mouseDClick(Ctl<TEdit>(form, "JJ"), Qt::LeftButton);
    for (const char* value : {"27", "1", "2", "3", "4", "5"}) Enter(value);
    EXPECT_EQ(QApplication::focusWidget(), Ctl<TEdit>(form, "JJ"));
    ASSERT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(DeviceReceived(SentFrame("8127 01 02 03 04 05"))) << e2e::Logged(form->Session().Request().Frame);

    PickPort();
    EXPECT_TRUE(Ctl<TPanel>(form, "Modulzeit")->Caption().startsWith("27.01.02 03:04:"))
        << Ctl<TPanel>(form, "Modulzeit")->Caption().toStdString();
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible());
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// "Set the device clock" from the PC: "Systemzeit übernehmen" left selected
// copies the PC's time each second and enables "Übertragen".
TEST_F(ReadmeTask, SetTheDeviceClockFromThePc)
{
    PickPort();
    ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));
    Click(Ctl<TButton>(form, "Systemzeit"));
    now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    ASSERT_TRUE(WaitFor(
        [&] { return Ctl<TEdit>(form, "ss")->text() == "03" && Ctl<TButton>(form, "Uebertragen")->isEnabled(); }));
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(DeviceReceived(SentFrame("8126 12 07 09 05 03"))) << e2e::Logged(form->Session().Request().Frame);
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// A value read first builds a name in the hidden path label; the day then
// downloaded still lands in the folder the list shows.
TEST_F(ReadmeTask, ValueReadThenDayDownloadedLandsInTheShownFolder)
{
    PickPort();
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    AwaitLastPollReply();
    for (const char* value : {"1", "26", "12", "7"}) Enter(value);
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "ID_Mess")->Caption() == "0001"; }));

    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), home);
    for (const char* value : {"26", "12", "7"}) Enter(value);
    const QString file = InHome("26_12_07.txt");
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), file);
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(file.toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// Two days downloaded one after the other, each time while the answer to the
// clock poll's last query was still on its way: neither file gets a clock
// line, and no box appears.
TEST_F(ReadmeTask, DownloadAfterDownloadStoresNoClockLine)
{
    RestartDevice({"--delay-ms", "300"});  // the same device, answering each frame 300 ms late
    const std::pair<const char*, sim::DateTime> days[] = {{"7", {2026, 12, 7}}, {"8", {2026, 12, 8}}};
    for (const auto& [dd, day] : days) {
        SCOPED_TRACE(dd);
        PickPort();
        AwaitPollQuery();
        Click(Ctl<TRadioButton>(form, "Datei_lesen"));
        const QString clockShown = Ctl<TPanel>(form, "Modulzeit")->Caption();
        ASSERT_TRUE(WaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text() != "806412"; }))
            << "the late answer never came";
        EXPECT_TRUE(Ctl<QLabel>(form, "Rueckgabe")->text().startsWith(clockShown.left(8)))
            << Ctl<QLabel>(form, "Rueckgabe")->text().toStdString();
        for (const char* value : {"26", "12", dd}) Enter(value);
        Click(Ctl<TButton>(form, "Uebertragen"));
        ASSERT_TRUE(WaitFor([&] {
            return form->Session().Request().Tally.StoredLines() == operator_test::kRecordsPerDay;
        })) << Boxes();
    }
    EXPECT_EQ(e2e::ReadFileBytes(InHome("26_12_07.txt").toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_EQ(e2e::ReadFileBytes(InHome("26_12_08.txt").toStdString()), DayOfRecords({2026, 12, 8}));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// What the operator turns to while the device still sends the day: the next
// day's download, in the same folder or another, or a value to read.
enum class TTurnTo { NextDay, NextDayInAnotherFolder, ReadAValue };

class ReadmeInterrupted : public ReadmeTask, public testing::WithParamInterface<TTurnTo> {};

// Every record the device sends until the next frame goes out lands in the
// file the transmission created and is counted, whatever the operator
// chooses meanwhile.
TEST_P(ReadmeInterrupted, DownloadUnderWayKeepsEveryRecordUntilTheNextFrame)
{
    RestartDevice({"--split", "--split-pause-ms", "50"});  // about 3 s for the day
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    AwaitLastPollReply();
    for (const char* value : {"26", "12", "7"}) Enter(value);
    const QString day7 = InHome("26_12_07.txt");
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(StoredLines(3)) << Boxes();

    switch (GetParam()) {
    case TTurnTo::NextDay: Click(Ctl<TRadioButton>(form, "Datei_lesen")); break;
    case TTurnTo::NextDayInAnotherFolder:
        Click(Ctl<TRadioButton>(form, "Datei_lesen"));
        DoubleClickFolder(InHome("daten"));
        break;
    case TTurnTo::ReadAValue:
        Click(Ctl<TRadioButton>(form, "Wert_lesen"));
        Enter("3");
        break;
    }
    for (const char* value : {"26", "12", "8"}) Enter(value);
    ASSERT_LT(form->Session().Request().Tally.StoredLines(), operator_test::kRecordsPerDay)
        << "the day was over too soon";

    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(day7.toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), QString("20 Zeilen gespeichert: %1").arg(day7));

    // The next frame ends the download: its answer never reaches that file.
    Click(Ctl<TButton>(form, "Uebertragen"));
    const char* lastAnswer = GetParam() == TTurnTo::ReadAValue ? "0003;08.12.2026" : "0020;08.12.2026";
    ASSERT_TRUE(WaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text().startsWith(lastAnswer); })) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(day7.toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

INSTANTIATE_TEST_SUITE_P(
    TurnTo, ReadmeInterrupted, testing::Values(TTurnTo::NextDay, TTurnTo::NextDayInAnotherFolder, TTurnTo::ReadAValue),
    [](const auto& info) {
        return std::string(std::array{"NextDay", "NextDayInAnotherFolder", "ReadAValue"}[info.index]);
    });

// A device that answers the clock query late, and an operator quicker than
// it: the day's frame waits for the clock line, which arrives after
// "Übertragen" and is shown as the device clock, and the file holds the
// day's records alone.
TEST_F(ReadmeTask, LateClockAnswerAfterAQuickTransmissionIsShownNotStored)
{
    RestartDevice({"--delay-ms", "1500"});
    PickPort();
    AwaitPollQuery();  // its answer comes 1.5 s late
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    for (const char* value : {"26", "12", "7"}) Enter(value);
    Click(Ctl<TButton>(form, "Uebertragen"));
    const QString clockAtTransmission = Ctl<TPanel>(form, "Modulzeit")->Caption();

    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_NE(Ctl<TPanel>(form, "Modulzeit")->Caption(), clockAtTransmission)
        << "no clock line came after the transmission";
    EXPECT_EQ(e2e::ReadFileBytes(InHome("26_12_07.txt").toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_EQ(form->Session().Request().Tally.StoredLines(), operator_test::kRecordsPerDay);
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

class StartedInADeletedFolder : public operator_test::TOperatorTest {
protected:
    StartedInADeletedFolder() : TOperatorTest(operator_test::TStartFolder::Deleted) {}
};

// The chooser can show no folder: the day's file has no place, so the
// transmission stops with "Error ...1", never putting the file into the root.
TEST_F(StartedInADeletedFolder, DayFileIsRefusedNeverPutIntoTheRoot)
{
    const QString inRoot = QDir::rootPath() + "26_12_07.txt";
    ASSERT_FALSE(QFile::exists(inRoot)) << "left over from elsewhere";
    const auto removeStray = qScopeGuard([&] { QFile::remove(inRoot); });  // should the fault come back
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), QString());
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->count(), 0);
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    AwaitLastPollReply();
    for (const char* value : {"26", "12", "7"}) Enter(value);
    Click(Ctl<TButton>(form, "Uebertragen"));

    EXPECT_FALSE(QFile::exists(inRoot));
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); }, 5000)) << "no box";
    EXPECT_EQ(boxes.Seen().front().Text, "Error ...1\n\nDen Ordner gibt es nicht mehr.");
    EXPECT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    EXPECT_FALSE(sim.Received(e2e::Logged(SentFrame("7026_12_07"))));
}

// The day's folder is deleted before "Übertragen": the box, titled as every
// box, says why under its fixed text and names the folder as the system
// does, in the caption language of the moment.
TEST_F(ReadmeTask, ADayFileThatCannotBeCreatedSaysWhyAndWhere)
{
    const QString folder = InHome("Łódź");
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    DoubleClickFolder(folder);
    AwaitLastPollReply();
    for (const char* value : {"26", "12", "7"}) Enter(value);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() == 1; }, 5000)) << "no box";
    Click(Ctl<QPushButton>(form, "BitBtn2"));
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() == 2; }, 5000)) << Boxes();

    const QString where = QDir::toNativeSeparators(folder);
    EXPECT_EQ(boxes.Seen()[0].Text, "Error ...1\n\nDen Ordner gibt es nicht mehr.\nOrdner: " + where);
    EXPECT_EQ(boxes.Seen()[1].Text, "Error ...1\n\nThe folder no longer exists.\nFolder: " + where);
    for (const auto& box : boxes.Seen()) EXPECT_EQ(box.Title, TApplication::Instance()->Title());
    EXPECT_FALSE(sim.Received(e2e::Logged(SentFrame("7026_12_07"))));
}

// After a day's download no mode is chosen; another folder chosen then is
// for the next day, and the status bar says how to get there.
TEST_F(ReadmeTask, AFolderChosenAfterADownloadSaysToChooseDateiLesen)
{
    PickPort();
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    AwaitLastPollReply();
    for (const char* value : {"26", "12", "7"}) Enter(value);
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();

    DoubleClickFolder(InHome("daten"));
    EXPECT_FALSE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(),
              "F\u00fcr den n\u00e4chsten Tag \"Datei lesen\" w\u00e4hlen");
    Click(Ctl<QPushButton>(form, "BitBtn2"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), "For the next day, choose \"read file\"");
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), "");
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

}  // namespace
