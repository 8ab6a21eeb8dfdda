// The robustness tests run with the calling thread as the main thread, a Qt
// core application and a private port folder (XDG_RUNTIME_DIR), so they
// never touch the user's COM links.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/MainThread.h"

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 2;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    platform::MainQueue::BindToCurrentThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
