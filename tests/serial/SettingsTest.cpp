// Settings: defaults, the device control block they give, copying between
// settings objects, and the exception's messages. No device needed.

#include <gtest/gtest.h>

#include "platform/CommCallCount.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"
#include "serial/StrToInt.h"

using namespace platform;

TEST(Settings, CPort1GivesTheDevicesLine)
{
    TComPort port;
    LoadCPort1Settings(port);
    DCB expected;
    expected.BaudRate = 57600;
    expected.fBinary = true;
    expected.ByteSize = 8;
    expected.Parity = NOPARITY;
    expected.StopBits = ONESTOPBIT;
    expected.fDtrControl = DTR_CONTROL_DISABLE;
    expected.fRtsControl = RTS_CONTROL_DISABLE;
    expected.XonLim = 256;
    expected.XoffLim = 256;
    expected.XonChar = 17;
    expected.XoffChar = 19;
    expected.EvtChar = 10;
    EXPECT_EQ(port.BuildDCB(), expected);
    EXPECT_EQ(port.Events(), TEvents{evRxFlag});
    EXPECT_EQ(port.SyncMethod(), smWindowSync);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 1000);
}

// One row: a change to a default port and the block fields it must give.
struct DcbCase {
    const char* name;
    void (*change)(TComPort&);
    void (*check)(const DCB&);
};

class DeviceControlBlock : public ::testing::TestWithParam<DcbCase> {};

TEST_P(DeviceControlBlock, CarriesTheSetting)
{
    TComPort port;
    GetParam().change(port);
    GetParam().check(port.BuildDCB());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DeviceControlBlock,
    ::testing::Values(DcbCase{"InputSize1000", [](TComPort& p) { p.Buffer().SetInputSize(1000); },
                              [](const DCB& d) {
                                  EXPECT_EQ(d.XonLim, 250);
                                  EXPECT_EQ(d.XoffLim, 250);
                              }},
                      DcbCase{"InputSizeCutTo16Bits", [](TComPort& p) { p.Buffer().SetInputSize(0x50000); },
                              [](const DCB& d) { EXPECT_EQ(d.XonLim, 0x4000); }},
                      DcbCase{"ReplaceWithoutCheck",
                              [](TComPort& p) {
                                  p.Parity().SetReplace(true);
                                  p.Parity().SetReplaceChar('?');
                              },
                              [](const DCB& d) {
                                  EXPECT_FALSE(d.fParity);
                                  EXPECT_FALSE(d.fErrorChar);
                                  EXPECT_EQ(d.ErrorChar, 0);
                              }},
                      DcbCase{"CheckAndReplace",
                              [](TComPort& p) {
                                  p.Parity().SetCheck(true);
                                  p.Parity().SetReplace(true);
                                  p.Parity().SetReplaceChar('?');
                              },
                              [](const DCB& d) {
                                  EXPECT_TRUE(d.fParity);
                                  EXPECT_TRUE(d.fErrorChar);
                                  EXPECT_EQ(d.ErrorChar, '?');
                              }},
                      DcbCase{"CheckWithParityNone", [](TComPort& p) { p.Parity().SetCheck(true); },
                              [](const DCB& d) {
                                  EXPECT_TRUE(d.fParity);
                                  EXPECT_EQ(d.Parity, NOPARITY);
                              }},
                      DcbCase{"EventCharZeroAndDiscardNull",
                              [](TComPort& p) {
                                  p.SetEventChar(10);
                                  p.SetEventChar(0);
                                  p.SetDiscardNull(true);
                              },
                              [](const DCB& d) {
                                  EXPECT_EQ(d.EvtChar, 0);
                                  EXPECT_TRUE(d.fNull);
                                  EXPECT_TRUE(d.fBinary);
                                  EXPECT_FALSE(d.fAbortOnError);
                              }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Settings, CopyFromTakesEveryValueAndKeepsTheOwner)
{
    TComTimeouts source;
    source.SetReadInterval(5);
    source.SetReadTotalMultiplier(6);
    source.SetReadTotalConstant(7);
    source.SetWriteTotalMultiplier(8);
    source.SetWriteTotalConstant(9);
    TComPort port;
    port.SetTimeouts(source);
    EXPECT_EQ(port.Timeouts().ReadInterval(), 5);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 6);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 7);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 8);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 9);

    TComParity parity;
    parity.SetBits(prEven);
    parity.SetCheck(true);
    parity.SetReplace(true);
    parity.SetReplaceChar(0xFC);
    port.SetParity(parity);
    EXPECT_EQ(port.Parity().Bits(), prEven);
    EXPECT_TRUE(port.Parity().Check());
    EXPECT_TRUE(port.Parity().Replace());
    EXPECT_EQ(port.Parity().ReplaceChar(), 0xFC);
    // The port's object is its own: the source goes on alone.
    parity.SetBits(prOdd);
    EXPECT_EQ(port.Parity().Bits(), prEven);
}

TEST(Settings, AssigningAnotherClassFails)
{
    TComPort port;
    TComTimeouts timeouts;
    try {
        port.Parity().Assign(timeouts);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TComTimeouts to a TComParity");
    }
    EXPECT_THROW(port.Buffer().CopyFrom(port.FlowControl()), EConvertError);
    EXPECT_EQ(port.Parity().Bits(), prNone);
}

TEST(Settings, SettersOfAClosedPortMakeNoPlatformCall)
{
    TComPort port;
    const auto before = CommCallCount();
    LoadCPort1Settings(port);
    port.SetBaudRate(br115200);
    port.Parity().SetBits(prOdd);
    port.FlowControl().SetXonXoffIn(true);
    port.Timeouts().SetReadTotalConstant(50);
    port.Buffer().SetInputSize(2048);
    port.SetSyncMethod(smNone);
    port.SetEvents({evRxChar});
    EXPECT_EQ(CommCallCount(), before);
}

struct MessageCase {
    std::int32_t code;
    std::int32_t winCode;
    const char* message;
};

class ComErrorMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ComErrorMessages, FormatTheTableTextAndTheSystemCode)
{
    const auto& c = GetParam();
    const EComPort e = c.winCode == -1 ? EComPort(c.code) : EComPort(c.code, c.winCode);
    EXPECT_STREQ(e.what(), c.message);
    EXPECT_EQ(e.Code, c.code);
    EXPECT_EQ(e.WinCode, c.winCode);
}

INSTANTIATE_TEST_SUITE_P(Table, ComErrorMessages,
                         ::testing::Values(MessageCase{1, 2, "Unable to open com port (win error code: 2)"},
                                           MessageCase{14, -1, "Cannot set SyncMethod while connected"},
                                           MessageCase{15, -7, "EnumPorts function failed (win error code: -7)"}));
