// Runs the X11 operator tests in a real X server of their own: Xvfb on a free
// display (CI runs as root with no display at all), the window on Qt's xcb
// platform, in the C locale, with a private port folder.

#include "tooling/testing/ChildProcess.h"
#include "ui/Application.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no server

    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        std::fprintf(stderr, "Xvfb is missing (scripts/install-deps.sh installs it)\n");
        return 1;
    }
    platform::ChildProcess server;
    std::string error;
    // -displayfd: the server picks a free display and writes its number to our pipe.
    if (!server.Start(xvfb.toStdString(),
                      {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"}, {},
                      &error)) {
        std::fprintf(stderr, "cannot start Xvfb: %s\n", error.c_str());
        return 1;
    }
    const auto display = server.ReadLine(30000);
    if (!display) {
        std::fprintf(stderr, "Xvfb did not report its display\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray(":") + QByteArray::fromStdString(*display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("LC_ALL", "C");
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());

    int result = 0;
    {
        TApplication app(argc, argv);
        app.setQuitOnLastWindowClosed(false);
        result = RUN_ALL_TESTS();
    }
    server.Send(platform::ChildProcess::Signal::Terminate);
    server.Wait(10000);
    return result;
}
