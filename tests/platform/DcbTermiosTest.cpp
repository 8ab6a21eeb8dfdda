// The device control block -> termios translation, row by row.

#include "platform/linux/DcbTermios.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <functional>

namespace platform::detail {
namespace {

DCB Base()
{
    DCB dcb;
    dcb.BaudRate = 57600;
    dcb.fBinary = true;
    dcb.ByteSize = 8;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

struct MappingRow {
    const char* name;
    std::function<void(DCB&)> change;
    std::uint32_t cflagSet;    // must be set
    std::uint32_t cflagClear;  // must be clear
    std::uint32_t iflagSet;
    std::uint32_t iflagClear;
};
void PrintTo(const MappingRow& row, std::ostream* out)
{
    *out << row.name;
}

class DcbMapping : public ::testing::TestWithParam<MappingRow> {};

TEST_P(DcbMapping, SetsExactlyTheFlagsOfTheRow)
{
    const MappingRow& row = GetParam();
    DCB dcb = Base();
    row.change(dcb);
    ASSERT_TRUE(IsValidDcb(dcb));
    const TermiosSettings t = DcbToTermios(dcb);
    EXPECT_EQ(t.cflag & row.cflagSet, row.cflagSet);
    EXPECT_EQ(t.cflag & row.cflagClear, 0u);
    EXPECT_EQ(t.iflag & row.iflagSet, row.iflagSet);
    EXPECT_EQ(t.iflag & row.iflagClear, 0u);
    // Raw whatever the row: no output processing, no line discipline, and a
    // read is satisfied by one byte.
    EXPECT_EQ(t.oflag, 0u);
    EXPECT_EQ(t.lflag, 0u);
    EXPECT_EQ(t.iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IGNBRK | BRKINT | IGNPAR), 0u);
    EXPECT_EQ(t.cflag & (CREAD | CLOCAL), std::uint32_t(CREAD | CLOCAL));
    EXPECT_EQ(t.vmin, 1);
    EXPECT_EQ(t.vtime, 0);
    EXPECT_EQ(t.baudRate, dcb.BaudRate);
}

const auto kNoParity = std::uint32_t(PARENB | PARODD | CMSPAR);

INSTANTIATE_TEST_SUITE_P(
    Rows, DcbMapping,
    ::testing::Values(
        MappingRow{"ToolLine8N1", [](DCB&) {}, CS8, kNoParity | CSTOPB | CRTSCTS, PARMRK, INPCK | IXON | IXOFF},
        MappingRow{"FiveBits", [](DCB& d) { d.ByteSize = 5; }, CS5, CSIZE & ~CS5, 0, 0},
        MappingRow{"SixBits", [](DCB& d) { d.ByteSize = 6; }, CS6, CSIZE & ~CS6, 0, 0},
        MappingRow{"SevenBits", [](DCB& d) { d.ByteSize = 7; }, CS7, CSIZE & ~CS7, 0, 0},
        MappingRow{"Odd", [](DCB& d) { d.Parity = ODDPARITY; }, PARENB | PARODD, CMSPAR, 0, 0},
        MappingRow{"Even", [](DCB& d) { d.Parity = EVENPARITY; }, PARENB, PARODD | CMSPAR, 0, 0},
        MappingRow{"Mark", [](DCB& d) { d.Parity = MARKPARITY; }, PARENB | PARODD | CMSPAR, 0, 0, 0},
        MappingRow{"Space", [](DCB& d) { d.Parity = SPACEPARITY; }, PARENB | CMSPAR, PARODD, 0, 0},
        MappingRow{"OneAndAHalfStopBits", [](DCB& d) { d.ByteSize = 5; d.StopBits = ONE5STOPBITS; }, CSTOPB, 0, 0, 0},
        MappingRow{"TwoStopBits", [](DCB& d) { d.StopBits = TWOSTOPBITS; }, CSTOPB, 0, 0, 0},
        MappingRow{"ParityCheck", [](DCB& d) { d.fParity = true; d.Parity = EVENPARITY; }, PARENB, 0, INPCK | PARMRK, 0},
        // Checking without parity bits is passed on as it is.
        MappingRow{"CheckWithoutParity", [](DCB& d) { d.fParity = true; }, 0, kNoParity, INPCK, 0},
        MappingRow{"CtsFlow", [](DCB& d) { d.fOutxCtsFlow = true; }, CRTSCTS, 0, 0, 0},
        MappingRow{"RtsHandshake", [](DCB& d) { d.fRtsControl = RTS_CONTROL_HANDSHAKE; }, CRTSCTS, 0, 0, 0},
        MappingRow{"XonXoffOut", [](DCB& d) { d.fOutX = true; }, 0, 0, IXON, IXOFF},
        MappingRow{"XonXoffIn", [](DCB& d) { d.fInX = true; }, 0, 0, IXOFF, IXON},
        // No kernel support: accepted, and nothing in termios changes.
        MappingRow{"DsrFlowIgnored", [](DCB& d) { d.fOutxDsrFlow = true; d.fDsrSensitivity = true; }, 0, CRTSCTS, 0,
                   IXON | IXOFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DcbMapping, RatesGoThroughExactly)
{
    for (DWORD rate : {110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 14400u, 19200u, 38400u, 56000u, 57600u, 115200u,
                       128000u, 256000u}) {
        DCB dcb = Base();
        dcb.BaudRate = rate;
        EXPECT_EQ(DcbToTermios(dcb).baudRate, rate);
    }
}

TEST(DcbMapping, ModemLineModes)
{
    struct Row {
        BYTE dtr, rts;
        LineDrive dtrDrive, rtsDrive;
    };
    for (const Row& row : {Row{DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, LineDrive::Off, LineDrive::Off},
                           Row{DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, LineDrive::On, LineDrive::On},
                           Row{DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE, LineDrive::On, LineDrive::ByKernel},
                           Row{DTR_CONTROL_DISABLE, RTS_CONTROL_TOGGLE, LineDrive::Off, LineDrive::Off}}) {
        DCB dcb = Base();
        dcb.fDtrControl = row.dtr;
        dcb.fRtsControl = row.rts;
        const TermiosSettings t = DcbToTermios(dcb);
        EXPECT_EQ(t.dtr, row.dtrDrive) << int(row.dtr);
        EXPECT_EQ(t.rts, row.rtsDrive) << int(row.rts);
    }
}

TEST(DcbMapping, OutOfRangeBlocksAreRefused)
{
    const std::function<void(DCB&)> bad[] = {
        [](DCB& d) { d.BaudRate = 0; },
        [](DCB& d) { d.ByteSize = 4; },
        [](DCB& d) { d.ByteSize = 9; },
        [](DCB& d) { d.Parity = 5; },
        [](DCB& d) { d.StopBits = 3; },
        [](DCB& d) { d.StopBits = ONE5STOPBITS; },  // with 8 data bits: 1.5 stop bits go only with 5
        [](DCB& d) {
            d.ByteSize = 5;
            d.StopBits = TWOSTOPBITS;
        },
        [](DCB& d) { d.fDtrControl = 3; },
        [](DCB& d) { d.fRtsControl = 4; },
        [](DCB& d) {
            d.fOutX = true;
            d.XoffChar = d.XonChar;
        },
        // Equal flow characters are refused with Xon/Xoff off as well.
        [](DCB& d) { d.XonChar = d.XoffChar = 0; },
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        DCB dcb = Base();
        bad[i](dcb);
        EXPECT_FALSE(IsValidDcb(dcb)) << "row " << i;
    }
}

}  // namespace
}  // namespace platform::detail
