// How the controls reach the handlers: radio buttons only on the way from
// unchecked to checked, Enter in an edit as CR, the port list's choices, the
// timer that is not restarted, the menu's end, and Tab that passes covers by.

#include "UiTestSupport.h"

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
    QStringList TakeCalls()
    {
        QStringList calls = form->Calls;
        form->Calls.clear();
        return calls;
    }
    TFormHolder<TSpyForm> form;
};

TEST_F(Wiring, RadioHandlerRunsOnlyWhenItsButtonBecomesChecked)
{
    form->Panel6->hide();  // as after a port was chosen
    QTest::mouseClick(form->Wert_lesen, Qt::LeftButton);
    EXPECT_EQ(TakeCalls(), QStringList{"Wert_lesenClick"});
    QTest::mouseClick(form->Wert_lesen, Qt::LeftButton);  // already chosen
    EXPECT_EQ(TakeCalls(), QStringList{});

    QTest::mouseClick(form->Datei_lesen, Qt::LeftButton);
    EXPECT_EQ(TakeCalls(), QStringList{"Datei_lesenClick"});
    EXPECT_FALSE(form->Wert_lesen->Checked());

    // Unchecking, as the transmission and the port choice do, runs nothing
    // and leaves no mode chosen; then the same button runs again.
    form->Datei_lesen->SetChecked(false);
    form->Wert_lesen->SetChecked(false);
    EXPECT_FALSE(form->Datei_lesen->Checked());
    EXPECT_EQ(TakeCalls(), QStringList{});
    QTest::mouseClick(form->Datei_lesen, Qt::LeftButton);
    EXPECT_EQ(TakeCalls(), QStringList{"Datei_lesenClick"});

    form->Uhr_stellen->show();
    form->Konfig->SetChecked(true);  // the hidden mode's handler is StartupClick
    form->Uhr_stellen->SetChecked(true);
    EXPECT_EQ(TakeCalls(), (QStringList{"StartupClick", "Uhr_stellenClick"}));
    EXPECT_FALSE(form->Konfig->Checked());
}

TEST_F(Wiring, EnterCommitsAndOtherKeysOnlyEdit)
{
    struct Row {
        TEdit* Field;
        const char* Name;
        int MaxLength;
    };
    const Row rows[] = {
        {form->MessID, "MessID", 4},
        {form->JJ, "JJ", 2},
        {form->MM, "MM", 2},
        {form->TT, "TT", 2},
        {form->hh, "hh", 2},
        {form->m_m, "m_m", 2},
        {form->ss, "ss", 2},
        {form->Dezimale, "Dezimale", 1},
        {form->Speicher_ID, "Speicher_ID", 6},
        {form->Zaehler_ID, "Zaehler_ID", 4},
        {form->Winter, "Winter", 1},
        {form->Sommer, "Sommer", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QTest::mouseClick(row.Field, Qt::LeftButton);  // a click, then Ctrl+A selects the value
        QTest::keyClick(row.Field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(row.Field, "12345678");
        EXPECT_EQ(row.Field->text(), QString("12345678").left(row.MaxLength));
        QTest::keyClick(row.Field, Qt::Key_Backspace);
        EXPECT_EQ(TakeCalls(), QStringList{});
        QTest::keyClick(row.Field, Qt::Key_Return);
        EXPECT_EQ(TakeCalls(), QStringList{QString("%1KeyPress:13").arg(row.Name)});
        QTest::keyClick(row.Field, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(TakeCalls(), QStringList{QString("%1KeyPress:13").arg(row.Name)});
    }
}

TEST_F(Wiring, MaximumLengthLimitsTheOperatorButNotTheProgram)
{
    TEdit* field = form->MessID;
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
    TComboBox* box = form->Schnittstelle;
    box->OnRefresh = nullptr;
    box->clear();
    box->addItems({"COM1", "COM3", "COM10"});
    box->setCurrentIndex(-1);
    box->setEditText("");
    EXPECT_EQ(TakeCalls(), QStringList{});
    const auto type = [](const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };

    // Typing completes to the first entry that begins with it, in any case.
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), box);
    type("c");
    EXPECT_EQ(TakeCalls(), QStringList{"SchnittstelleClick"});
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(box->Text(), "cOM1");
    EXPECT_EQ(box->lineEdit()->selectedText(), "OM1");

    // Typing on within the same entry chooses nothing new; "com3" chooses COM3.
    type("om");
    EXPECT_EQ(TakeCalls(), QStringList{});
    type("3");
    EXPECT_EQ(TakeCalls(), QStringList{"SchnittstelleClick"});
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(box->Text(), "com3");

    // Deleting completes nothing; text that begins no entry chooses nothing.
    press(Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), "com");
    type("X");
    EXPECT_EQ(TakeCalls(), QStringList{});
    EXPECT_EQ(box->Text(), "comX");

    // Enter neither chooses nor adds an entry, nor does it on a listed name.
    press(Qt::Key_Return);
    press(Qt::Key_Backspace);
    type("3");
    EXPECT_EQ(TakeCalls(), QStringList{});  // COM3 is chosen already
    press(Qt::Key_Return);
    EXPECT_EQ(TakeCalls(), QStringList{});
    EXPECT_EQ(box->count(), 3);

    // Arrow keys move to the next entry and choose it.
    press(Qt::Key_Up);
    EXPECT_EQ(TakeCalls(), QStringList{"SchnittstelleClick"});
    EXPECT_EQ(box->Text(), "COM1");
    press(Qt::Key_Down);
    EXPECT_EQ(TakeCalls(), QStringList{"SchnittstelleClick"});
    EXPECT_EQ(box->Text(), "COM3");

    // A pick from the list chooses, also the entry already chosen.
    emit box->activated(1);
    EXPECT_EQ(TakeCalls(), QStringList{"SchnittstelleClick"});
}

TEST_F(Wiring, TransmitButtonAndTimerReachTheirHandlers)
{
    form->Uebertragen->setEnabled(true);
    QTest::mouseClick(form->Uebertragen, Qt::LeftButton);
    EXPECT_EQ(TakeCalls(), QStringList{"LesenClick"});

    form->Timer1->setInterval(1);
    form->Timer1->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Calls.contains("Timer1Timer"); }, 5000));
    form->Timer1->SetEnabled(false);
    form->Timer1->setInterval(1000);
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
    QTest::mouseClick(form->Schnittstelle->lineEdit(), Qt::LeftButton);
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        EXPECT_FALSE(form->IsCovered(now)) << now->objectName().toStdString();
        reached << now->objectName();
    }
    EXPECT_FALSE(reached.contains("MessID"));
    EXPECT_FALSE(reached.contains("Wert_lesen"));
    EXPECT_TRUE(reached.contains("Button1"));

    form->Panel1->hide();  // uncovered, the field is reachable again
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
    form->FileExitItem->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 5000));
}

}  // namespace
