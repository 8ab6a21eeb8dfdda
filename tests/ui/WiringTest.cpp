// How the operator's acts reach the device session, each shown by its
// effect: radio buttons act only on the way from unchecked to checked, Enter
// in an edit commits, the port list's choices each try the port, the timer is
// not restarted, the menu ends, and Tab passes covers by.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"
#include "tests/support/LinkedPty.h"

#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/RadioButton.h"
#include "ui/Timer.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class Wiring : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    const exchange::TFrameDraft& Draft() { return form->Session().Draft(); }
    // Types a value into a field and commits it with Enter, as the operator does.
    void Enter(const char* field, const char* text) { TypeAndCommit(Ctl<TEdit>(form, field), text); }
    TFormHolder<TSDIAppForm> form{FixedTestTime};
};

TEST_F(Wiring, RadioHandlerRunsOnlyWhenItsButtonBecomesChecked)
{
    Ctl<TPanel>(form, "Panel6")->hide();  // as after a port was chosen
    // Choosing a mode starts its frame afresh: a field committed before is
    // no longer committed. A click on the mode already chosen keeps it.
    QTest::mouseClick(Ctl<TRadioButton>(form, "Wert_lesen"), Qt::LeftButton);
    EXPECT_EQ(Draft().Mode(), exchange::TOperatingMode::omWertLesen);
    Enter("MessID", "0042");
    ASSERT_TRUE(Draft().Committed(exchange::TEntryField::efMessID));
    QTest::mouseClick(Ctl<TRadioButton>(form, "Wert_lesen"), Qt::LeftButton);  // already chosen
    EXPECT_TRUE(Draft().Committed(exchange::TEntryField::efMessID));

    QTest::mouseClick(Ctl<TRadioButton>(form, "Datei_lesen"), Qt::LeftButton);
    EXPECT_EQ(Draft().Mode(), exchange::TOperatingMode::omDateiLesen);
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Wert_lesen")->Checked());
    Enter("JJ", "26");
    ASSERT_TRUE(Draft().Committed(exchange::TEntryField::efJJ));

    // Unchecking, as the transmission and the port choice do, changes
    // nothing and leaves no mode chosen; then the same button acts again.
    Ctl<TRadioButton>(form, "Datei_lesen")->SetChecked(false);
    Ctl<TRadioButton>(form, "Wert_lesen")->SetChecked(false);
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Datei_lesen")->Checked());
    EXPECT_TRUE(Draft().Committed(exchange::TEntryField::efJJ));
    QTest::mouseClick(Ctl<TRadioButton>(form, "Datei_lesen"), Qt::LeftButton);
    EXPECT_FALSE(Draft().Committed(exchange::TEntryField::efJJ));

    Ctl<TRadioButton>(form, "Uhr_stellen")->show();
    Ctl<TRadioButton>(form, "Konfig")->SetChecked(true);  // the hidden mode
    EXPECT_EQ(Draft().Mode(), exchange::TOperatingMode::omKonfig);
    Ctl<TRadioButton>(form, "Uhr_stellen")->SetChecked(true);
    EXPECT_EQ(Draft().Mode(), exchange::TOperatingMode::omUhrStellen);
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Konfig")->Checked());
}

TEST_F(Wiring, EnterCommitsAndOtherKeysOnlyEdit)
{
    using F = exchange::TEntryField;
    struct Row {
        F Field;
        const char* Name;
        int MaxLength;
        const char* Value;  // one the field takes
    };
    const Row rows[] = {
        {F::efMessID, "MessID", 4, "0042"},
        {F::efJJ, "JJ", 2, "26"},
        {F::efMM, "MM", 2, "12"},
        {F::efTT, "TT", 2, "07"},
        {F::efhh, "hh", 2, "03"},
        {F::efm_m, "m_m", 2, "14"},
        {F::efss, "ss", 2, "15"},
        {F::efDezimale, "Dezimale", 1, "2"},
        {F::efSpeicher_ID, "Speicher_ID", 6, "000001"},
        {F::efZaehler_ID, "Zaehler_ID", 4, "0001"},
        {F::efWinter, "Winter", 1, "1"},
        {F::efSommer, "Sommer", 1, "2"},
    };
    bool keypad = false;  // Return and the keypad's Enter in turn
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TEdit* edit = Ctl<TEdit>(form, row.Name);
        QTest::mouseClick(edit, Qt::LeftButton);  // a click, then Ctrl+A selects the value
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "12345678");
        EXPECT_EQ(edit->text(), QString("12345678").left(row.MaxLength));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, row.Value);
        EXPECT_FALSE(Draft().Committed(row.Field));  // typing alone commits nothing
        if (keypad)
            QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(Draft().Committed(row.Field));
        keypad = !keypad;
    }
}

TEST_F(Wiring, MaximumLengthLimitsTheOperatorButNotTheProgram)
{
    TEdit* field = Ctl<TEdit>(form, "MessID");
    QTest::mouseClick(field, Qt::LeftButton);  // in, everything selected, gone
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText("123456");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);  // a paste is cut to fit
    EXPECT_EQ(field->text(), "1234");
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Right);
    QTest::keyClick(field, Qt::Key_Right);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "1234");

    // The program may set a longer text, also from the Enter handler.
    field->setText("-12345");
    EXPECT_EQ(field->text(), "-12345");
    field->OnKeyPress = [field](QObject*, char&) { field->setText("0000000042"); };
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), "0000000042");

    // The operator cannot lengthen it, but can shorten it.
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, "7");
    EXPECT_EQ(field->text(), "0000000042");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "000000004");
    QTest::keyClicks(field, "8");
    EXPECT_EQ(field->text(), "000000004");
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, "98765");
    EXPECT_EQ(field->text(), "9876");
}

TEST_F(Wiring, PortListChoosesByMouseArrowKeysAndCompletion)
{
    // The entries are the test's own: no refresh replaces them here.
    TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
    box->OnRefresh = nullptr;
    box->clear();
    box->addItems({"COM1", "COM3", "COM10"});
    box->setCurrentIndex(-1);
    box->setEditText("");
    // Each choice opens the port it names and shows the program's digest
    // first; the digest, cleared by the test, tells whether a choice came.
    TLinkedPty ports[] = {TLinkedPty{"COM1"}, TLinkedPty{"COM3"}, TLinkedPty{"COM10"}};
    for (const TLinkedPty& port : ports) ASSERT_TRUE(port.Linked()) << port.Error();
    QLabel* digest = Ctl<QLabel>(form, "Software");
    const auto chose = [digest] {
        const bool chosen = !digest->text().isEmpty();
        digest->clear();
        return chosen;
    };
    digest->clear();
    const auto type = [](const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };

    // Typing completes to the first entry that begins with it, in any case.
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), box);
    type("c");
    EXPECT_TRUE(chose());
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(box->Text(), "cOM1");
    EXPECT_EQ(box->lineEdit()->selectedText(), "OM1");

    // Typing on within the same entry chooses nothing new; "com3" chooses COM3.
    type("om");
    EXPECT_FALSE(chose());
    type("3");
    EXPECT_TRUE(chose());
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(box->Text(), "com3");

    // Deleting completes nothing; text that begins no entry chooses nothing.
    press(Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), "com");
    type("X");
    EXPECT_FALSE(chose());
    EXPECT_EQ(box->Text(), "comX");

    // Enter neither chooses nor adds an entry, nor does it on a listed name.
    press(Qt::Key_Return);
    EXPECT_FALSE(chose());  // not "comX"
    press(Qt::Key_Backspace);
    type("3");
    EXPECT_FALSE(chose());  // COM3 is chosen already
    press(Qt::Key_Return);
    EXPECT_FALSE(chose());
    EXPECT_EQ(box->count(), 3);

    // Arrow keys move to the next entry and choose it.
    press(Qt::Key_Up);
    EXPECT_EQ(box->Text(), "COM1");
    EXPECT_TRUE(chose());
    press(Qt::Key_Down);
    EXPECT_EQ(box->Text(), "COM3");
    EXPECT_TRUE(chose());

    // A pick from the list chooses, also the entry already chosen.
    emit box->activated(1);
    EXPECT_TRUE(chose());
}

TEST_F(Wiring, TransmitButtonSendsTheFrameAndEndsTheMode)
{
    Ctl<TPanel>(form, "Panel6")->hide();  // as after a port was chosen
    QTest::mouseClick(Ctl<TRadioButton>(form, "Wert_lesen"), Qt::LeftButton);
    Enter("MessID", "0042");
    Enter("JJ", "26");
    Enter("MM", "12");
    Enter("TT", "07");
    TButton* send = Ctl<TButton>(form, "Uebertragen");
    ASSERT_TRUE(send->isEnabled());
    TBoxWatcher boxes;  // no port is open here
    QTest::mouseClick(send, Qt::LeftButton);
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Wert_lesen")->Checked());
    EXPECT_FALSE(Draft().CanTransmit());
}

TEST(TimerEnabled, EnablingARunningTimerKeepsItsPeriod)
{
    QObject owner;
    TTimer timer(&owner, 1000);
    timer.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer.remainingTime() <= 600; }, 5000));
    timer.SetEnabled(true);
    EXPECT_LE(timer.remainingTime(), 600);  // a restart would give about 1000 again
    EXPECT_TRUE(timer.Enabled());

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    timer.SetEnabled(true);  // a stopped timer starts a fresh period
    EXPECT_GT(timer.remainingTime(), 600);
}

TEST_F(Wiring, TabPassesOverCoveredControls)
{
    QStringList reached;
    QTest::mouseClick(Ctl<TComboBox>(form, "Schnittstelle")->lineEdit(), Qt::LeftButton);
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        EXPECT_FALSE(Covered(now)) << now->objectName().toStdString();
        reached << now->objectName();
    }
    EXPECT_FALSE(reached.contains("MessID"));
    EXPECT_FALSE(reached.contains("Wert_lesen"));
    EXPECT_TRUE(reached.contains("Button1"));

    Ctl<TPanel>(form, "Panel1")->hide();  // uncovered, the field is reachable again
    reached.clear();
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    EXPECT_TRUE(reached.contains("MessID"));
}

TEST_F(Wiring, EndingFromTheMenuClosesAndDestroysTheWindow)
{
    QPointer<TSDIAppForm> watched = form.get();
    Ctl<QAction>(form, "FileExitItem")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 5000));
}

}  // namespace
