// 1,000 open/close cycles of CPort1 while the device keeps sending lines:
// afterwards the process holds exactly the descriptors and threads it held
// before, and every cycle still delivered.

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "PtyDevice.h"
#include "tooling/testing/ProcessStats.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"

using namespace platform;

TEST(Soak, ThousandOpenCloseCyclesUnderTrafficLeaveNothingBehind)
{
    constexpr int kCycles = 1000;
    PtyDevice device;
    TComPort port;
    LoadCPort1Settings(port);
    port.SetPortNum(device.ComName());
    std::atomic<long> lines{0};
    port.SetOnRxFlag([&](TObject*) {
        std::string data;
        port.ReadText(data, port.BytesWaiting());
        ++lines;
    });

    // Warm up whatever the process keeps for good (queue descriptor, ...).
    port.Open();
    port.Close();
    MainQueue::WakeFd();
    const int fdsBefore = OpenFileDescriptorCount();
    const int threadsBefore = ThreadCount();

    // The device sends lines all the time; while the port is closed it finds
    // no client and tries again.
    std::atomic<bool> stop{false};
    std::thread traffic([&] {
        while (!stop)
            if (!device.Send("0123456789\r\n")) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    // Ends the traffic on every way out; a closed port unblocks the writer.
    struct TrafficEnd {
        std::function<void()> end;
        ~TrafficEnd() { end(); }
    } trafficEnd{[&] {
        stop = true;
        port.Close();
        if (traffic.joinable()) traffic.join();
    }};

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        port.Open();
        // Let some traffic through in every cycle, then close with the
        // thread in whatever state the traffic left it.
        const long seen = lines;
        ASSERT_TRUE(ServeUntil([&] { return lines > seen; })) << "cycle " << cycle;
        port.Close();
    }
    trafficEnd.end();

    const int fdsAfter = OpenFileDescriptorCount();
    const int threadsAfter = ThreadCount();
    std::printf("soak: %d cycles, %ld lines delivered, fds %d -> %d, threads %d -> %d\n", kCycles, lines.load(),
                fdsBefore, fdsAfter, threadsBefore, threadsAfter);
    EXPECT_EQ(fdsAfter, fdsBefore);
    EXPECT_EQ(threadsAfter, threadsBefore);
    EXPECT_GE(lines, kCycles);
}
