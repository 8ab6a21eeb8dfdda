// Test main of the serial and robustness tests: the calling thread is the
// main thread, a Qt core application runs (for the queue's descriptor in
// Qt's loop), the port folder is private and the machine's own serial
// devices are hidden, so no test touches the user's COM links or ports.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "platform/MainThread.h"
#include "tests/support/PrivatePortFolder.h"
#include "tooling/testing/MachinePorts.h"

int main(int argc, char** argv)
{
    testsupport::PrivatePortFolder runtimeDir;
    if (!runtimeDir.IsValid()) return 2;
    platform::HideMachinePorts();

    QCoreApplication app(argc, argv);
    platform::MainQueue::BindToCurrentThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
