// Test main of the serial and robustness tests: the calling thread is the
// main thread, a Qt core application runs (for the queue's descriptor in
// Qt's loop) and the port folder is private, so no test touches the user's
// COM links.

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
