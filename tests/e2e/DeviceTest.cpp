// The device's side: choosing the port, the clock poll, a value read, the
// device clock set from the PC's time and read back, and replies whose
// checksum is wrong.

#include "tests/support/WindowControl.h"
#include "E2eSupport.h"

#include "sim/Records.h"

namespace {

using e2e::Logged;
using e2e::SentFrame;
using e2e::WaitFor;
using exchange::TReplyMode;

class Device : public e2e::TWindowTest {
protected:
    e2e::TSimulator sim;
};

TEST_F(Device, TypedPortIsChosenAndAskedForItsClock)
{
    ASSERT_TRUE(sim.Start({"--clock", "00.01.01 00:00:00"}));
    // The simulator's port alone: with others listed, typing its name would
    // choose each entry that begins with what is typed so far on the way.
    Ctl<TComboBox>(form, "Schnittstelle")->clear();
    Ctl<TComboBox>(form, "Schnittstelle")->addItems({QString::fromStdString(sim.ComName()), "COM99"});
    Ctl<TComboBox>(form, "Schnittstelle")->setCurrentIndex(-1);  // nothing chosen yet, as after start-up
    Click(Ctl<TComboBox>(form, "Schnittstelle")->lineEdit());
    QTest::keyClicks(Ctl<TComboBox>(form, "Schnittstelle")->lineEdit(),
                     QString::fromStdString(sim.ComName()).toLower());

    ASSERT_TRUE(form->Session().Port().Connected()) << Boxes();
    EXPECT_EQ(form->Session().Port().PortNum(), sim.ComName());
    EXPECT_FALSE(Ctl<QLabel>(form, "Software")->text().isEmpty());  // the program's digest
    EXPECT_EQ(form->Session().Request().Kind, exchange::TRequestKind::rkClockQuery);
    EXPECT_FALSE(Ctl<TPanel>(form, "Panel6")->isVisible());
    EXPECT_TRUE(Ctl<TTimer>(form, "Timer1")->Enabled());
    ASSERT_TRUE(WaitFor([&] { return !sim.Frames().empty(); }));
    EXPECT_EQ(sim.Frames().front(), "<STX>80<ETX><CR>");  // the one frame without a checksum

    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "Modulzeit")->Caption().startsWith("00.01.01 00:00:0"); }))
        << Ctl<TPanel>(form, "Modulzeit")->Caption().toStdString();
    EXPECT_TRUE(Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible());
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

TEST_F(Device, ChoosingThePortAgainKeepsItOpenAndThePollRunning)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    Ctl<TRadioButton>(form, "Wert_lesen")->SetChecked(true);  // stops the poll
    ASSERT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
    int closes = 0;
    form->Session().Port().SetOnClose([&](TObject*) { ++closes; });
    Connect(sim);
    EXPECT_EQ(closes, 0);  // not reopened
    EXPECT_TRUE(Ctl<TTimer>(form, "Timer1")->Enabled());
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Wert_lesen")->Checked());
    EXPECT_EQ(form->Session().Request().Kind, exchange::TRequestKind::rkClockQuery);
    const auto frames = sim.Frames();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "<STX>80<ETX><CR>"), 2);
}

// The clock reply's first number decides whether the clock may be set.
TEST_F(Device, ClockReplyOffersOrWithdrawsUhrStellen)
{
    ASSERT_TRUE(sim.Start({"--clock", "13.05.06 07:08:09"}));
    Connect(sim);
    ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    const struct {
        const char* Clock;
        bool Offered;
    } rows[] = {{"14.05.06 07:08:09", false},
                {"00.01.01 00:00:00", true},
                {"99.12.31 23:59:50", false},
                {"13.12.31 23:59:50", true}};
    std::size_t swaps = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Clock);
        Ctl<TTimer>(form, "Timer1")->SetEnabled(false);  // no tick meets the device while it is away
        sim.Stop();
        ++swaps;
        // The device's going is shown once, by the port's event thread.
        ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() == swaps; })) << Boxes();
        // What happened comes first, the component's words below.
        const QString gone = "Das Ger\u00e4t an " + QString::fromStdString(form->Session().Port().PortNum()) +
                             " ist nicht mehr da.\n\nUnable to get async status";
        EXPECT_TRUE(boxes.Seen().back().Text.startsWith(gone)) << Boxes();
        ASSERT_TRUE(sim.Start({"--clock", row.Clock}, form->Session().Port().PortNum()));
        Connect(sim);  // the old device went away: the port is opened anew
        EXPECT_TRUE(Ctl<TPanel>(form, "Modulzeit")->Caption().startsWith(QString::fromLatin1(row.Clock).left(8)))
            << Ctl<TPanel>(form, "Modulzeit")->Caption().toStdString();
        EXPECT_EQ(Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(), row.Offered);
    }
    EXPECT_EQ(boxes.Seen().size(), swaps) << Boxes();
}

TEST_F(Device, EachPollTickSendsNineBytesAndShowsThePcTime)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    now = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "Panel5")->Caption() == "26.12.07 14:05:09"; }));
    ASSERT_TRUE(WaitFor([&] { return sim.Received(e2e::kPollFrameLogged); }));
    for (const std::string& frame : sim.Frames())
        EXPECT_TRUE(frame == "<STX>80<ETX><CR>" || frame == "<STX>806412<ETX><CR>") << frame;
    EXPECT_EQ(e2e::Logged(SentFrame("80")), e2e::kPollFrameLogged);
    // Without "Systemzeit übernehmen" focused the tick leaves the frame and fields alone.
    EXPECT_EQ(Ctl<TEdit>(form, "hh")->text(), "00");
    EXPECT_FALSE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
}

// "Wert lesen" for a date and measurement number: the four panels hold the
// simulator's record, which its record generator predicts.
TEST_F(Device, ValueReadFillsTheFourPanels)
{
    ASSERT_TRUE(sim.Start({"--records", "96", "--seed", "7"}));
    Connect(sim);
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    AwaitLastPollReply();
    Commit(Ctl<TEdit>(form, "MessID"), "42");
    Commit(Ctl<TEdit>(form, "JJ"), "26");
    Commit(Ctl<TEdit>(form, "MM"), "12");
    Commit(Ctl<TEdit>(form, "TT"), "7");
    Click(Ctl<TButton>(form, "Uebertragen"));

    const std::string body = sim::RecordBody({2026, 12, 7}, 42, {96, 7});
    ASSERT_EQ(body.size(), 45u);
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "ID_Mess")->Caption() == "0042"; }))
        << Ctl<QLabel>(form, "Rueckgabe")->text().toStdString();
    EXPECT_EQ(Ctl<TPanel>(form, "Datum_Zeit")->Caption().toStdString(), body.substr(5, 19));
    EXPECT_EQ(Ctl<TPanel>(form, "ID_Zaehler")->Caption().toStdString(), body.substr(25, 10));
    EXPECT_EQ(Ctl<TPanel>(form, "Messwert")->Caption().toStdString(), body.substr(36, 9));
    EXPECT_EQ(Ctl<TPanel>(form, "Datum_Zeit")->Caption(), "07.12.2026 10:15:00");  // record 42 of 96: 41 quarter hours
    const std::string checksum = ChecksumText(GetChecksumme(body, 45));
    EXPECT_EQ(Ctl<QLabel>(form, "Rueckgabe")->text().toStdString(), body + checksum);
    EXPECT_EQ(Ctl<QLabel>(form, "L_CRC")->text().toStdString(), checksum);
    EXPECT_EQ(form->Session().Request().State, exchange::TRequestState::rsAnswered);
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// "Uhr stellen" with "Systemzeit übernehmen" focused: each tick takes the
// PC's time over; sent, the device runs on from it, and a clock of year 26
// withdraws "Uhr stellen". The answer to the frame is shown as a reading.
TEST_F(Device, DeviceClockIsSetFromThePcTimeAndReadBack)
{
    ASSERT_TRUE(sim.Start({}));  // year 00: the clock may be set
    now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    Connect(sim);
    ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));
    Click(Ctl<TButton>(form, "Systemzeit"));  // and leave it selected
    ASSERT_TRUE(Ctl<TButton>(form, "Systemzeit")->hasFocus());

    now = QDateTime(QDate(2026, 12, 7), QTime(9, 7, 11));
    ASSERT_TRUE(WaitFor([&] { return Ctl<TEdit>(form, "ss")->text() == "11"; }));
    EXPECT_EQ(Ctl<TEdit>(form, "hh")->text(), "09");
    EXPECT_EQ(Ctl<TEdit>(form, "m_m")->text(), "07");
    EXPECT_EQ(Frame(), "\x02"
                       "8126 12 07 09 07 11\x03");
    EXPECT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());

    Click(Ctl<TButton>(form, "Uebertragen"));
    const std::string frame = SentFrame("8126 12 07 09 07 11");
    ASSERT_TRUE(WaitFor([&] { return sim.Received(Logged(frame)); }));
    ASSERT_TRUE(WaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text().startsWith("OK 81"); }))
        << Ctl<QLabel>(form, "Rueckgabe")->text().toStdString();

    Connect(sim);
    EXPECT_TRUE(Ctl<TPanel>(form, "Modulzeit")->Caption().startsWith("26.12.07 09:"))
        << Ctl<TPanel>(form, "Modulzeit")->Caption().toStdString();
    ASSERT_TRUE(WaitFor([&] { return !Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// Every third line the device sends is corrupt: such records are shown and
// stored exactly as they came, and counted in the status bar.
TEST_F(Device, WrongChecksumIsShownStoredAndFlagged)
{
    ASSERT_TRUE(sim.Start({"--records", "10", "--bad-checksum-every", "3"}));
    Connect(sim);
    const std::string file = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return form->Session().Request().Tally.StoredLines() == 10; })) << Boxes();

    const std::string stored = e2e::ReadFileBytes(file);
    std::istringstream lines(stored);
    int number = 0, bad = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        SCOPED_TRACE(line);
        ASSERT_EQ(line.size(), 45u + 4u + 1u);  // body, checksum, CR (the LF was the getline's)
        const std::string body = line.substr(0, 45);
        EXPECT_EQ(body, sim::RecordBody({2026, 12, 7}, number, {10, 0}));
        bad += line.substr(45, 4) != ChecksumText(GetChecksumme(body, 45));
    }
    EXPECT_EQ(number, 10);
    EXPECT_GE(bad, 3);
    EXPECT_LE(bad, 4);
    const QString status = Ctl<QStatusBar>(form, "StatusBar")->currentMessage();
    EXPECT_EQ(status, QString("10 Zeilen gespeichert, %1 mit falscher Pr\u00fcfsumme: %2")
                          .arg(bad)
                          .arg(QString::fromStdString(file)));

    // Outside a download a corrupt reply is named as such: one of three is.
    bool warned = false;
    for (int attempt = 0; attempt < 3 && !warned; ++attempt) {
        Click(Ctl<TRadioButton>(form, "Wert_lesen"));
        Commit(Ctl<TEdit>(form, "MessID"), "1");
        Commit(Ctl<TEdit>(form, "JJ"), "26");
        Commit(Ctl<TEdit>(form, "MM"), "12");
        Commit(Ctl<TEdit>(form, "TT"), "7");
        Ctl<QLabel>(form, "Rueckgabe")->clear();
        Click(Ctl<TButton>(form, "Uebertragen"));
        ASSERT_TRUE(WaitFor([&] { return !Ctl<QLabel>(form, "Rueckgabe")->text().isEmpty(); }));
        warned = Ctl<QStatusBar>(form, "StatusBar")
                     ->currentMessage()
                     .startsWith(QString::fromUtf8("Pr\u00fcfsumme der Antwort falsch"));
    }
    EXPECT_TRUE(warned) << Ctl<QStatusBar>(form, "StatusBar")->currentMessage().toStdString();
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

}  // namespace
