// Runs the window tests inside the real application object, on the offscreen
// platform, in the C locale, with a private port folder and the machine's own
// serial devices hidden, so no test sees or touches the user's ports.

#include "tooling/testing/MachinePorts.h"
#include "ui/Application.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C");
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    platform::HideMachinePorts();

    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no application
    TApplication app(argc, argv);
    // Tests close windows and boxes without a running loop; a quit request
    // then would make every later modal loop return at once.
    app.setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
