#pragma once
// Shared pieces of the platform tests: a pty linked as a COM port in a
// private port folder, and overlapped records with their own events.

#include "platform/PortFolder.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/tty/Pty.h"
#include "platform/WinApi.h"

#include "tests/support/PrivatePortFolder.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform::test {

// Generous: these bound waits for things that happen in microseconds.
inline constexpr DWORD kBoundMs = 10000;

using ScopedPortFolder = testsupport::PrivatePortFolder;
using platform::ProcessCpuSeconds;
using testsupport::WaitUntil;

// An OVERLAPPED with its own manual-reset event, closed at the end.
struct Record {
    Record() { ov.hEvent = CreateEvent(true, false); }
    ~Record() { CloseHandle(ov.hEvent); }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    bool Signalled(DWORD ms = 0) const { return WaitForSingleObject(ov.hEvent, ms) == WAIT_OBJECT_0; }
    bool Completes() const { return Signalled(kBoundMs); }

    OVERLAPPED ov;
};

// The settings the tool gives its port: 57600 8N1, no flow control, LF as
// the event character.
inline DCB ToolDcb()
{
    DCB dcb;
    dcb.BaudRate = 57600;
    dcb.fBinary = true;
    dcb.ByteSize = 8;
    dcb.XonLim = dcb.XoffLim = 256;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    dcb.EvtChar = 10;
    return dcb;
}

inline COMMTIMEOUTS ToolTimeouts()
{
    return COMMTIMEOUTS{MAXDWORD, 0, 0, 1000, 1000};
}

// A pseudo-terminal linked as a COM port in a private port folder and opened
// through CreateFile; the test plays the device on the master side.
class PtyPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.IsOpen());
        std::string error;
        ASSERT_TRUE(LinkPort(name, pty.SlavePath(), &error)) << error;
        port = CreateFile(name);
        ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
        ASSERT_TRUE(SetCommState(port, ToolDcb()));
        ASSERT_TRUE(SetCommTimeouts(port, ToolTimeouts()));
        ASSERT_TRUE(SetupComm(port, 1024, 1024));
    }
    void TearDown() override
    {
        if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
    }

    // Everything the port wrote, until `size` bytes have arrived.
    std::string DeviceReceives(std::size_t size)
    {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
        while (got.size() < size && std::chrono::steady_clock::now() < end) {
            if (pty.Read(got, 100) == PseudoTerminal::ReadResult::Closed) break;
        }
        return got;
    }

    // Reads 16 bytes at a time, as a slow reader with a 16-byte queue would,
    // until `sent` has arrived: all of it, in order, with no line error.
    void ExpectReadWholeWithoutErrors(const std::string& sent)
    {
        std::string got;
        DWORD errors = 0;
        ASSERT_TRUE(WaitUntil([&] {
            COMSTAT stat;
            DWORD e = 0;
            if (!ClearCommError(port, &e, &stat)) return true;
            errors |= e;
            char buffer[16];
            DWORD count = 0;
            Record read;
            if (stat.cbInQue > 16 || !ReadFile(port, buffer, sizeof buffer, &count, &read.ov)) return true;
            got.append(buffer, count);
            return got.size() >= sent.size();
        }));
        EXPECT_EQ(got, sent);
        EXPECT_EQ(errors, 0u);
    }

    // Waits for the port's input queue to hold `size` bytes.
    bool QueueHolds(DWORD size)
    {
        return WaitUntil([&] {
            COMSTAT stat;
            DWORD errors = 0;
            return ClearCommError(port, &errors, &stat) && stat.cbInQue >= size;
        });
    }

    ScopedPortFolder folder;
    PseudoTerminal pty;
    std::string name = "COM7";
    HANDLE port = INVALID_HANDLE_VALUE;
};

}  // namespace platform::test
