// The operator's side against the simulated device: what each mode shows,
// loads and sets, the field commits and their focus paths, and the exact
// bytes "Übertragen" puts on the line.

#include "tests/support/WindowControl.h"
#include "E2eSupport.h"

#include <QDir>

namespace {

using e2e::Logged;
using e2e::SentFrame;
using e2e::WaitFor;
using exchange::TReplyMode;

class Operator : public e2e::TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        ASSERT_TRUE(sim.Start({}));  // clock 00.01.01: "Uhr stellen" is offered
        Connect(sim);
        ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    }
    // The last frame the device received apart from the clock poll.
    std::string LastFrame() const
    {
        const auto frames = sim.FramesBesidesPoll();
        return frames.empty() ? std::string() : frames.back();
    }
    bool DeviceReceived(const std::string& frame)
    {
        return WaitFor([&] { return LastFrame() == Logged(frame); });
    }
    e2e::TSimulator sim;
};

// Chosen in this order, so each poll change meets a known poll state.
TEST_F(Operator, EachModeShowsItsGroupsLoadsItsTemplateAndSetsReplyModeFocusAndPoll)
{
    enum Covers { Id = 1, Date = 2, Time = 4, Config = 8 };  // the groups shown
    struct Row {
        const char* Mode;
        TRadioButton* Button;
        int Shown;
        bool Systemzeit, Choosers;
        const char* Template;
        TReplyMode Reply;
        QWidget* Focus;  // nullptr: where it was
        bool PollAfter;
    };
    const Row rows[] = {
        {"Uhr stellen", Ctl<TRadioButton>(form, "Uhr_stellen"), Date | Time, true, false, "8100 00 00 00 00 00",
         TReplyMode::rmReading, nullptr, true},
        {"Konfiguration", Ctl<TRadioButton>(form, "Konfig"), Config, false, false, "85 0 000000 0000 0 0",
         TReplyMode::rmReading, Ctl<TEdit>(form, "Dezimale"), true},
        {"Wert lesen", Ctl<TRadioButton>(form, "Wert_lesen"), Id | Date, false, false, "6000_00_000000",
         TReplyMode::rmReading, Ctl<TEdit>(form, "MessID"), false},
        {"Datei lesen", Ctl<TRadioButton>(form, "Datei_lesen"), Date, false, true, "7000_00_00",
         TReplyMode::rmStoredRecord, Ctl<TEdit>(form, "JJ"), false},
        {"Konfiguration again", Ctl<TRadioButton>(form, "Konfig"), Config, false, false, "85 0 000000 0000 0 0",
         TReplyMode::rmReading, Ctl<TEdit>(form, "Dezimale"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Mode);
        // Checked as a click does, without the click's own move of the focus
        // ("Konfiguration" is never offered; its handler works all the same).
        Click(Ctl<TComboBox>(form, "Schnittstelle")->lineEdit());
        QWidget* focusBefore = QApplication::focusWidget();
        row.Button->SetChecked(true);

        EXPECT_EQ(!Ctl<TPanel>(form, "Panel1")->isVisible(), bool(row.Shown & Id));
        EXPECT_EQ(!Ctl<TPanel>(form, "Panel2")->isVisible(), bool(row.Shown & Date));
        EXPECT_EQ(!Ctl<TPanel>(form, "Panel3")->isVisible(), bool(row.Shown & Time));
        EXPECT_EQ(!Ctl<TPanel>(form, "Panel4")->isVisible(), bool(row.Shown & Config));
        EXPECT_EQ(Covered(Ctl<TEdit>(form, "MessID")), !(row.Shown & Id));
        EXPECT_EQ(Covered(Ctl<TEdit>(form, "JJ")), !(row.Shown & Date));
        EXPECT_EQ(Ctl<TButton>(form, "Systemzeit")->isVisible(), row.Systemzeit);
        EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->isVisible(), row.Choosers);
        EXPECT_EQ(Ctl<TDriveComboBox>(form, "DriveComboBox1")->isVisible(), row.Choosers);
        EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->isVisible(), row.Choosers);
        if (std::string(row.Mode) == "Uhr stellen") {  // the fill from Panel5 (03:14:15 on 26.12.07)
            EXPECT_EQ(Frame(), "\x02"
                               "8126 12 07 03 14 15\x03");
        } else {
            EXPECT_EQ(Frame(), "\x02" + std::string(row.Template) + "\x03");
        }
        EXPECT_EQ(QApplication::focusWidget(), row.Focus ? row.Focus : focusBefore);
        EXPECT_EQ(Ctl<TTimer>(form, "Timer1")->Enabled(), row.PollAfter);
    }
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

TEST_F(Operator, UhrStellenFillsFieldsAndFrameFromTheSetClock)
{
    now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    ASSERT_TRUE(
        WaitFor([&] { return Ctl<TPanel>(form, "Panel5")->Caption() == "26.12.07 09:05:03"; }));  // the next tick
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));

    const std::pair<TEdit*, const char*> fields[] = {{Ctl<TEdit>(form, "JJ"), "26"},  {Ctl<TEdit>(form, "MM"), "12"},
                                                     {Ctl<TEdit>(form, "TT"), "07"},  {Ctl<TEdit>(form, "hh"), "09"},
                                                     {Ctl<TEdit>(form, "m_m"), "05"}, {Ctl<TEdit>(form, "ss"), "03"}};
    for (const auto& [field, text] : fields) EXPECT_EQ(field->text(), text) << field->objectName().toStdString();
    EXPECT_EQ(Frame(), "\x02"
                       "8126 12 07 09 05 03\x03");
    EXPECT_FALSE(
        Ctl<TButton>(form, "Uebertragen")->isEnabled());  // only the seconds or "Systemzeit übernehmen" enable it
}

// Each mode's path through its fields: the focus after each Enter, the frame
// and the file name they build, and when "Übertragen" becomes usable.
TEST_F(Operator, CommitPathsOfEachMode)
{
    struct Step {
        TEdit* Field;
        const char* Typed;
        TEdit* FocusAfter;
        bool TransmitAfter;
    };
    struct Row {
        const char* Mode;
        TRadioButton* Button;
        std::vector<Step> Steps;
        std::string Frame;
        QString DateiSuffix;  // empty: not checked
    };
    const Row rows[] = {
        {"Wert lesen",
         Ctl<TRadioButton>(form, "Wert_lesen"),
         {{Ctl<TEdit>(form, "MessID"), "42", Ctl<TEdit>(form, "JJ"), false},
          {Ctl<TEdit>(form, "JJ"), "26", Ctl<TEdit>(form, "MM"), false},
          {Ctl<TEdit>(form, "MM"), "7", Ctl<TEdit>(form, "TT"), false},
          {Ctl<TEdit>(form, "TT"), "5", Ctl<TEdit>(form, "MessID"), true}},
         "\x02"
         "6026_07_050042\x03",
         "/26_07_05.txt"},
        {"Datei lesen",
         Ctl<TRadioButton>(form, "Datei_lesen"),
         {{Ctl<TEdit>(form, "JJ"), "26", Ctl<TEdit>(form, "MM"), false},
          {Ctl<TEdit>(form, "MM"), "12", Ctl<TEdit>(form, "TT"), false},
          {Ctl<TEdit>(form, "TT"), "7", Ctl<TEdit>(form, "JJ"), true}},
         "\x02"
         "7026_12_07\x03",
         "/26_12_07.txt"},
        {"Uhr stellen",
         Ctl<TRadioButton>(form, "Uhr_stellen"),
         {{Ctl<TEdit>(form, "JJ"), "27", Ctl<TEdit>(form, "MM"), false},
          {Ctl<TEdit>(form, "MM"), "1", Ctl<TEdit>(form, "TT"), false},
          {Ctl<TEdit>(form, "TT"), "2", Ctl<TEdit>(form, "hh"), false},  // the day does not enable it here
          {Ctl<TEdit>(form, "hh"), "3", Ctl<TEdit>(form, "m_m"), false},
          {Ctl<TEdit>(form, "m_m"), "4", Ctl<TEdit>(form, "ss"), false},
          {Ctl<TEdit>(form, "ss"), "5", Ctl<TEdit>(form, "JJ"), true}},
         "\x02"
         "8127 01 02 03 04 05\x03",
         ""},
        {"Konfiguration",
         Ctl<TRadioButton>(form, "Konfig"),
         {{Ctl<TEdit>(form, "Dezimale"), "3", Ctl<TEdit>(form, "Speicher_ID"), false},
          {Ctl<TEdit>(form, "Speicher_ID"), "123", Ctl<TEdit>(form, "Zaehler_ID"), false},
          {Ctl<TEdit>(form, "Zaehler_ID"), "45", Ctl<TEdit>(form, "Winter"), false},
          {Ctl<TEdit>(form, "Winter"), "1", Ctl<TEdit>(form, "Sommer"), false},
          {Ctl<TEdit>(form, "Sommer"), "2", Ctl<TEdit>(form, "Dezimale"), true}},
         "\x02"
         "85 3 000123 0045 2 1\x03",
         ""},  // summer time before winter time in the frame
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Mode);
        Ctl<TButton>(form, "Uebertragen")->setEnabled(false);
        if (row.Button->isVisible())
            Click(row.Button);
        else
            row.Button->SetChecked(true);
        Ctl<TTimer>(form, "Timer1")->SetEnabled(false);  // the poll would take the time fields' focus path apart
        if (QApplication::focusWidget() != row.Steps.front().Field)  // "Uhr stellen" leaves the focus alone
            Reach(row.Steps.front().Field);
        for (const Step& step : row.Steps) {
            SCOPED_TRACE(step.Field->objectName().toStdString());
            Commit(step.Field, step.Typed);
            EXPECT_EQ(QApplication::focusWidget(), step.FocusAfter);
            EXPECT_EQ(Ctl<TButton>(form, "Uebertragen")->isEnabled(), step.TransmitAfter);
        }
        EXPECT_EQ(Frame(), row.Frame);
        if (!row.DateiSuffix.isEmpty()) {
            EXPECT_TRUE(Ctl<TPathLabel>(form, "Datei")->Path().endsWith(row.DateiSuffix))
                << Ctl<TPathLabel>(form, "Datei")->Path().toStdString();
        }
    }
    EXPECT_EQ(Ctl<TEdit>(form, "Speicher_ID")->text(), "000123");
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

TEST_F(Operator, DayWithoutAModeReturnsToMessIdAndLeavesTransmissionAlone)
{
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));  // the date and time fields stay in view after the transmission
    Reach(Ctl<TEdit>(form, "ss"));
    Commit(Ctl<TEdit>(form, "ss"), "5");
    Click(Ctl<TButton>(form, "Uebertragen"));  // unchecks every mode
    ASSERT_FALSE(form->Session().Draft().CheckedMode().has_value());
    Reach(Ctl<TEdit>(form, "TT"));
    Commit(Ctl<TEdit>(form, "TT"), "8");
    EXPECT_EQ(QApplication::focusWidget(), Ctl<TEdit>(form, "MessID"));
    EXPECT_FALSE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    Reach(Ctl<TEdit>(form, "ss"));
    Commit(Ctl<TEdit>(form, "ss"), "9");  // the seconds enable it whatever the mode
    EXPECT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
}

TEST_F(Operator, UebertragenWritesExactlyTheFrameAndEndsTheMode)
{
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    Commit(Ctl<TEdit>(form, "MessID"), "42");
    Commit(Ctl<TEdit>(form, "JJ"), "26");
    Commit(Ctl<TEdit>(form, "MM"), "12");
    Commit(Ctl<TEdit>(form, "TT"), "7");
    Click(Ctl<TButton>(form, "Uebertragen"));

    // Before the answer, whose handling puts its own checksum into L_CRC.
    const std::string frame = SentFrame("6026_12_070042");
    EXPECT_EQ(Ctl<QLabel>(form, "L_CRC")->text().toStdString(), frame.substr(15, 4));
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(form->Session().Request().Frame, frame);
    ASSERT_TRUE(DeviceReceived(frame)) << LastFrame();
    EXPECT_FALSE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    EXPECT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
    EXPECT_FALSE(form->Session().Draft().CheckedMode().has_value());
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// A frame sent, one field changed, sent again without choosing the mode:
// the device gets the new payload with a fresh checksum, not the old one.
TEST_F(Operator, SecondTransmissionSendsAWellFormedFrame)
{
    now = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "Panel5")->Caption() == "26.12.07 09:05:03"; }));
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));
    Reach(Ctl<TEdit>(form, "ss"));
    Commit(Ctl<TEdit>(form, "ss"), "3");
    Click(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(DeviceReceived(SentFrame("8126 12 07 09 05 03"))) << LastFrame();

    Reach(Ctl<TEdit>(form, "ss"));
    Commit(Ctl<TEdit>(form, "ss"), "45");
    ASSERT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    Click(Ctl<TButton>(form, "Uebertragen"));
    const std::string again = SentFrame("8126 12 07 09 05 45");
    ASSERT_TRUE(DeviceReceived(again)) << LastFrame();
    EXPECT_EQ(Frame(), again);
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

// A commit the rules refuse changes nothing and says why in an error box.
TEST_F(Operator, RefusedCommitLeavesFieldFrameAndFocusAsTheyWere)
{
    struct Row {
        TEdit* Field;
        const char* Typed;
        const char* Box;
    };
    const Row rows[] = {
        {Ctl<TEdit>(form, "MM"), "-5", "'-5' passt nicht in das Feld: 2 Zeichen erwartet."},
        {Ctl<TEdit>(form, "MessID"), "7g", "'7g' ist kein g\u00fcltiger Integerwert."},
        {Ctl<TEdit>(form, "TT"), " ", "' ' ist kein g\u00fcltiger Integerwert."},
    };
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Typed);
        TApplication::ReportSuccess();
        const std::string frameBefore = Frame();
        const std::size_t seen = boxes.Seen().size();
        Reach(row.Field);
        Commit(row.Field, row.Typed);
        ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() > seen; })) << "no error box";
        EXPECT_EQ(boxes.Seen().back().Text, QString::fromUtf8(row.Box));
        EXPECT_EQ(boxes.Seen().back().Icon, QMessageBox::Critical);
        EXPECT_EQ(row.Field->text(), QString::fromLatin1(row.Typed));
        EXPECT_EQ(Frame(), frameBefore);
        EXPECT_EQ(form->focusWidget(), row.Field);  // the window's, while the box has had the keyboard
        EXPECT_FALSE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    }
}

TEST_F(Operator, ReadoutFileThatCannotBeCreatedStopsTheTransmission)
{
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(readoutDir.path());
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    Commit(Ctl<TEdit>(form, "JJ"), "26");
    Commit(Ctl<TEdit>(form, "MM"), "12");
    Commit(Ctl<TEdit>(form, "TT"), "7");
    ASSERT_TRUE(QDir(readoutDir.path()).mkdir("26_12_07.txt"));  // the name is taken by a folder
    const auto framesBefore = sim.FramesBesidesPoll();
    Click(Ctl<TButton>(form, "Uebertragen"));

    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen().front().Text, "Error ...1\n\nUnter diesem Namen gibt es schon einen Ordner.\nOrdner: " +
                                             QDir::toNativeSeparators(readoutDir.path()));
    EXPECT_EQ(boxes.Seen().front().Icon, QMessageBox::NoIcon);
    EXPECT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    EXPECT_EQ(Frame(), "\x02"
                       "7026_12_07\x03");
    EXPECT_FALSE(form->Session().Draft().CheckedMode().has_value());
    EXPECT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
    EXPECT_EQ(sim.FramesBesidesPoll(), framesBefore);  // nothing was sent
}

}  // namespace
