// Test main of the serial and robustness tests: the calling thread is the
// main thread, a Qt core application runs (for the queue's descriptor in
// Qt's loop) and the port folder is private, so no test touches the user's
// COM links.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "platform/MainThread.h"
#include "tests/support/PrivatePortFolder.h"

int main(int argc, char** argv)
{
    testsupport::PrivatePortFolder runtimeDir;
    if (!runtimeDir.IsValid()) return 2;

    QCoreApplication app(argc, argv);
    platform::MainQueue::BindToCurrentThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
