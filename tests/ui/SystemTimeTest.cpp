// Panel5 at start: the PC's time of start as "yy.mm.dd hh:nn:ss", with "."
// between the date parts whatever the system's date format, and the system's
// time separator; it does not advance until the clock poll runs.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "ui/Panel.h"
#include "ui/TimeSeparator.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemTime, Panel5ShowsTheTimeOfStart)
{
    // This program runs under LC_ALL=C (set by its main).
    TFormHolder<> form{FixedTestTime};
    EXPECT_EQ(Ctl<TPanel>(form, "Panel5")->Caption(), "26.12.07 03:14:15");
}

TEST(SystemTime, Panel5DoesNotAdvanceBeforeAPortIsChosen)
{
    QDateTime now = FixedTestTime();
    TFormHolder<> form{[&now] { return now; }};
    form->show();
    now = now.addSecs(3600);
    QTest::qWait(0);  // let everything that is due run
    EXPECT_FALSE(Ctl<TTimer>(form, "Timer1")->isActive());
    EXPECT_EQ(Ctl<TPanel>(form, "Panel5")->Caption(), "26.12.07 03:14:15");
}

TEST(SystemTime, TimeSeparatorFollowsTheLocale)
{
    const std::pair<const char*, char> rows[] = {
        {"C", ':'}, {"de_DE", ':'}, {"en_US", ':'}, {"nl_NL", ':'}, {"fi_FI", '.'}, {"da_DK", '.'},
    };
    for (const auto& [name, separator] : rows)
        EXPECT_EQ(TimeSeparatorOf(QLocale(QString::fromLatin1(name))), QLatin1Char(separator)) << name;
}

}  // namespace
