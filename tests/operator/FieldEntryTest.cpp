// Moving through the entry fields as a person does: Tab and Shift+Tab select
// the value of the field reached, so typing replaces it; a click only places
// the caret, and the maximum length then refuses more digits.

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
    Click(form->Wert_lesen);
    Type("42");
    Press(Qt::Key_Tab);
    Type("26");
    Press(Qt::Key_Tab);
    Type("12");
    Press(Qt::Key_Tab);
    Type("7");
    Press(Qt::Key_Backtab);
    Type("11");
    EXPECT_EQ(form->MessID->text(), "42");
    EXPECT_EQ(form->JJ->text(), "26");
    EXPECT_EQ(form->MM->text(), "11");
    EXPECT_EQ(form->TT->text(), "7");
    EXPECT_EQ(Frame(), "\x02"
                       "6000_00_000000\x03");  // nothing committed yet

    Press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->TT);
    EXPECT_EQ(Frame(), "\x02"
                       "6000_11_000000\x03");
    Type("8");  // the commit's move selected the day
    EXPECT_EQ(form->TT->text(), "8");
}

TEST_F(FieldEntry, TabThroughTheClockFieldsTypingOverEach)
{
    ASSERT_TRUE(WaitFor([&] { return form->Uhr_stellen->isVisible(); }));
    Click(form->Uhr_stellen);
    QTest::mouseDClick(form->JJ, Qt::LeftButton);
    const std::pair<TEdit*, const char*> fields[] = {{form->JJ, "27"}, {form->MM, "1"},  {form->TT, "2"},
                                                     {form->hh, "3"},  {form->m_m, "4"}, {form->ss, "5"}};
    for (const auto& [field, typed] : fields) {
        EXPECT_EQ(QApplication::focusWidget(), field);
        Type(typed);
        Press(Qt::Key_Tab);
    }
    for (const auto& [field, typed] : fields) EXPECT_EQ(field->text(), typed) << field->objectName().toStdString();
}

TEST_F(FieldEntry, AClickPlacesTheCaretAndTheMaximumLengthHolds)
{
    Click(form->Wert_lesen);
    Click(form->JJ);
    EXPECT_EQ(QApplication::focusWidget(), form->JJ);
    EXPECT_FALSE(form->JJ->hasSelectedText());
    Type("9");
    EXPECT_EQ(form->JJ->text(), "00");  // two digits already

    Press(Qt::Key_A, Qt::ControlModifier);
    Type("123");
    EXPECT_EQ(form->JJ->text(), "12");
    Press(Qt::Key_Return);
    EXPECT_EQ(Frame(), "\x02"
                       "6012_00_000000\x03");
}

}  // namespace
