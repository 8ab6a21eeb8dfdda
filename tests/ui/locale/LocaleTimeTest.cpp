// Panel5 under a system locale given by the environment (LC_ALL): whatever
// the locale's date format, the date parts are separated by "."; the time
// separator is the locale's. The expected text comes with the environment
// (TORNVALE_EXPECT_PANEL5), one test run per locale.

#include "tests/support/WindowControl.h"
#include "ui/Application.h"
#include "ui/Panel.h"
#include "ui/SDIMain.h"

#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(LocaleTime, Panel5UsesDotsForTheDateAndTheLocalesTimeSeparator)
{
    const QString expected = qEnvironmentVariable("TORNVALE_EXPECT_PANEL5");
    ASSERT_FALSE(expected.isEmpty()) << "TORNVALE_EXPECT_PANEL5 is not set";
    ASSERT_EQ(QLocale::system().name(), qEnvironmentVariable("TORNVALE_EXPECT_LOCALE"));

    QPointer<TSDIAppForm> form = new TSDIAppForm([] { return QDateTime(QDate(2026, 12, 7), QTime(3, 14, 15)); });
    EXPECT_EQ(Ctl<TPanel>(form, "Panel5")->Caption(), expected);
    delete form.data();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
