// Test main of the serial tests under wine: the calling thread is the main
// thread and a Qt core application runs, for the queue's wake socket in
// Qt's loop.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "platform/MainThread.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::MainQueue::BindToCurrentThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
