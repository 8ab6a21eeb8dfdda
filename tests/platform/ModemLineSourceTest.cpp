// Which modem-line source a port gets, and stopping the kernel's on a real
// UART.

#include "TestSupport.h"
#include "platform/VirtualLines.h"
#include "tooling/tty/VirtualLinesDriver.h"
#include "platform/linux/ModemLineSource.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace platform::test {
namespace {

using detail::ModemLineKind;

TEST(ModemLineSource, APseudoTerminalGetsTheVirtualLines)
{
    ScopedPortFolder folder;
    PseudoTerminal pty;
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(detail::ProbeModemLines(fd), ModemLineKind::Virtual);
    ASSERT_TRUE(SetVirtualModemLines("COM5", true, false, false, true));
    const auto source = detail::MakeModemLineSource(fd, "COM5");
    DWORD bits = 0;
    EXPECT_EQ(source->Status(bits), ERROR_SUCCESS);
    EXPECT_EQ(bits, DWORD{MS_CTS_ON | MS_RLSD_ON});
    EXPECT_GE(source->ChangeFd(), 0);
    EXPECT_FALSE(source->CountsLineErrors());
    source->Stop();
    close(fd);
}

// Threads of this process now blocked in TIOCMIWAIT.
int ThreadsInModemWait()
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream in(task.path() / "syscall");
        std::string number, fd, request;
        in >> number >> fd >> request;
        if (number == std::to_string(SYS_ioctl) && std::stoul(request, nullptr, 16) == TIOCMIWAIT) ++count;
    }
    return count;
}

// TORNVALE_TEST_UART names a UART (for example /dev/ttyS0) that nothing
// else uses. Its port waits for line changes in TIOCMIWAIT, which neither
// closing the tty nor an eventfd can end; closing the port must end it.
TEST(ModemLineSource, ClosingARealUartEndsTheKernelWait)
{
    const char* uart = std::getenv("TORNVALE_TEST_UART");
    if (uart == nullptr || *uart == '\0') GTEST_SKIP() << "set TORNVALE_TEST_UART to a UART's device path";
    const int fd = open(uart, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0) << uart;
    EXPECT_EQ(detail::ProbeModemLines(fd), ModemLineKind::Kernel);
    close(fd);

    ScopedPortFolder folder;
    ASSERT_TRUE(LinkPort("COM9", uart));
    const HANDLE port = CreateFile("COM9");
    ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
    ASSERT_TRUE(SetCommMask(port, EV_CTS | EV_DSR));
    Record wait;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_TRUE(WaitUntil([] { return ThreadsInModemWait() == 1; }));
    DWORD status = 0;
    EXPECT_TRUE(GetCommModemStatus(port, &status));
    EXPECT_TRUE(CloseHandle(port));
    EXPECT_EQ(ThreadsInModemWait(), 0);
    EXPECT_TRUE(wait.Signalled());
}

}  // namespace
}  // namespace platform::test
