// The bridge between the program's Windows-1252 bytes and the widgets' text.

#include "portlist/AnsiText.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiText, EveryByteSurvivesTheWayThroughAWidgetText)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(char(b));
    const QString text = QStringFromAnsi(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(AnsiFromQString(text), all);
}

TEST(AnsiText, CodePageCharacters)
{
    EXPECT_EQ(QStringFromAnsi("\xC4\xD6\xDC\xE4\xF6\xFC\xDF"), QString::fromUtf8("ÄÖÜäöüß"));
    EXPECT_EQ(QStringFromAnsi("\x80\x84\x93\x94"), QString::fromUtf8("€„“”"));
    EXPECT_EQ(AnsiFromQString(QString::fromUtf8("Z\u00E4hler \u20AC")), "Z\xE4hler \x80");
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(AnsiFromQString(QString::fromUtf8("a\u4E2Db\u0410c\U0001F600")), "a?b?c?");
}

}  // namespace
