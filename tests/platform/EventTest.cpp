// Events and waits.

#include "TestSupport.h"

#include <thread>

namespace platform::test {
namespace {

TEST(Events, ManualResetStaysSignalledUntilReset)
{
    const HANDLE e = CreateEvent(true, true);
    ASSERT_NE(e, 0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(e));
    ASSERT_TRUE(SetEvent(e));
    ASSERT_TRUE(ResetEvent(e));  // one reset undoes any number of sets
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(e));
}

TEST(Events, AutoResetEventsAreRefused)
{
    EXPECT_EQ(CreateEvent(false, false), 0);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(Events, WaitForMultipleReturnsTheLowestSignalledIndex)
{
    HANDLE e[3] = {CreateEvent(true, false), CreateEvent(true, false), CreateEvent(true, false)};
    EXPECT_EQ(WaitForMultipleObjects(3, e, false, 0), WAIT_TIMEOUT);
    SetEvent(e[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, e, false, 0), WAIT_OBJECT_0 + 2);
    SetEvent(e[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, e, false, INFINITE), WAIT_OBJECT_0 + 1);
    SetEvent(e[0]);
    EXPECT_EQ(WaitForMultipleObjects(3, e, false, INFINITE), WAIT_OBJECT_0);
    for (HANDLE h : e) CloseHandle(h);
}

TEST(Events, BadWaitsFail)
{
    const HANDLE e = CreateEvent(true, true);
    const HANDLE stale = CreateEvent(true, true);
    CloseHandle(stale);
    struct Row {
        DWORD count;
        const HANDLE* handles;
        bool waitAll;
        DWORD error;
    };
    const HANDLE one[1] = {e};
    const HANDLE withStale[2] = {e, stale};
    const HANDLE notAnEvent[1] = {12345};
    for (const Row& row : {Row{0, one, false, ERROR_INVALID_PARAMETER}, Row{1, nullptr, false, ERROR_INVALID_PARAMETER},
                           Row{1, one, true, ERROR_NOT_SUPPORTED}, Row{2, withStale, false, ERROR_INVALID_HANDLE},
                           Row{1, notAnEvent, false, ERROR_INVALID_HANDLE}}) {
        EXPECT_EQ(WaitForMultipleObjects(row.count, row.handles, row.waitAll, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), row.error);
    }
    EXPECT_FALSE(SetEvent(stale));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ResetEvent(INVALID_HANDLE_VALUE));
    CloseHandle(e);
}

TEST(Events, SetEventWakesAnUnboundedWaitOnAnotherThread)
{
    const HANDLE e = CreateEvent(true, false);
    int payload = 0;  // handed over by the event alone
    std::thread setter([&] {
        payload = 42;
        SetEvent(e);
    });
    EXPECT_EQ(WaitForSingleObject(e, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(payload, 42);
    setter.join();
    CloseHandle(e);
}

TEST(Events, ABlockedWaitUsesNoProcessorTime)
{
    const HANDLE e = CreateEvent(true, false);
    const double cpuBefore = ProcessCpuSeconds();
    EXPECT_EQ(WaitForSingleObject(e, 300), WAIT_TIMEOUT);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1);
    CloseHandle(e);
}

}  // namespace
}  // namespace platform::test
