// Moving through the entry fields as a person does: Tab and Shift+Tab select
// the value of the field reached, so typing replaces it; a click only places
// the caret, and the maximum length then refuses more digits.

#include "tests/support/WindowControl.h"
#include "OperatorSupport.h"

namespace {

using e2e::WaitFor;

class FieldEntry : public operator_test::TOperatorTest {
protected:
    void SetUp() override
    {
        TOperatorTest::SetUp();
        PickPort();
    }
};

TEST_F(FieldEntry, TabThroughTheModesFieldsTypingOverEach)
{
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    Type("42");
    Press(Qt::Key_Tab);
    Type("26");
    Press(Qt::Key_Tab);
    Type("12");
    Press(Qt::Key_Tab);
    Type("7");
    Press(Qt::Key_Backtab);
    Type("11");
    EXPECT_EQ(Ctl<TEdit>(form, "MessID")->text(), "42");
    EXPECT_EQ(Ctl<TEdit>(form, "JJ")->text(), "26");
    EXPECT_EQ(Ctl<TEdit>(form, "MM")->text(), "11");
    EXPECT_EQ(Ctl<TEdit>(form, "TT")->text(), "7");
    EXPECT_EQ(Frame(), "\x02"
                       "6000_00_000000\x03");  // nothing committed yet

    Press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Ctl<TEdit>(form, "TT"));
    EXPECT_EQ(Frame(), "\x02"
                       "6000_11_000000\x03");
    Type("8");  // the commit's move selected the day
    EXPECT_EQ(Ctl<TEdit>(form, "TT")->text(), "8");
}

TEST_F(FieldEntry, TabThroughTheClockFieldsTypingOverEach)
{
    ASSERT_TRUE(WaitFor([&] { return Ctl<TRadioButton>(form, "Uhr_stellen")->isVisible(); }));
    Click(Ctl<TRadioButton>(form, "Uhr_stellen"));
    QTest::mouseDClick(Ctl<TEdit>(form, "JJ"), Qt::LeftButton);
    const std::pair<TEdit*, const char*> fields[] = {{Ctl<TEdit>(form, "JJ"), "27"}, {Ctl<TEdit>(form, "MM"), "1"},
                                                     {Ctl<TEdit>(form, "TT"), "2"},  {Ctl<TEdit>(form, "hh"), "3"},
                                                     {Ctl<TEdit>(form, "m_m"), "4"}, {Ctl<TEdit>(form, "ss"), "5"}};
    for (const auto& [field, typed] : fields) {
        EXPECT_EQ(QApplication::focusWidget(), field);
        Type(typed);
        Press(Qt::Key_Tab);
    }
    for (const auto& [field, typed] : fields) EXPECT_EQ(field->text(), typed) << field->objectName().toStdString();
}

TEST_F(FieldEntry, AClickPlacesTheCaretAndTheMaximumLengthHolds)
{
    Click(Ctl<TRadioButton>(form, "Wert_lesen"));
    Click(Ctl<TEdit>(form, "JJ"));
    EXPECT_EQ(QApplication::focusWidget(), Ctl<TEdit>(form, "JJ"));
    EXPECT_FALSE(Ctl<TEdit>(form, "JJ")->hasSelectedText());
    Type("9");
    EXPECT_EQ(Ctl<TEdit>(form, "JJ")->text(), "00");  // two digits already

    Press(Qt::Key_A, Qt::ControlModifier);
    Type("123");
    EXPECT_EQ(Ctl<TEdit>(form, "JJ")->text(), "12");
    Press(Qt::Key_Return);
    EXPECT_EQ(Frame(), "\x02"
                       "6012_00_000000\x03");
}

}  // namespace
