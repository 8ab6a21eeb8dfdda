// The port on a real pseudo-terminal: opening into the device's line
// configuration, bytes both ways, purging, the failures and their codes, and
// setters that reach the device only when something changed.

#include <gtest/gtest.h>

#include "PtyDevice.h"
#include "platform/CommCallCount.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"
#include "serial/PortFailure.h"

using namespace platform;

namespace {

std::string AllByteValues()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

// A CPort1 on a fresh device; no line events unless a test asks for them.
class PortOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadCPort1Settings(port);
        port.SetEvents({});
        port.SetPortNum(device.ComName());
    }

    bool WaitForInput(std::int32_t count)
    {
        return WaitWithoutServing([&] { return port.BytesWaiting() >= count; });
    }

    PtyDevice device;
    TComPort port;
};

template <typename F>
EComPort CatchComError(F&& f)
{
    try {
        f();
    } catch (const EComPort& e) {
        return e;
    }
    ADD_FAILURE() << "no EComPort";
    return EComPort(0, 0);
}

}  // namespace

TEST_F(PortOnPty, OpenPutsTheLineIntoTheDevicesConfiguration)
{
    port.Open();
    ASSERT_TRUE(port.Connected());
    DCB inForce;
    ASSERT_TRUE(GetCommState(port.Handle(), inForce));
    EXPECT_EQ(inForce.BaudRate, 57600u);
    EXPECT_EQ(inForce.ByteSize, 8);
    EXPECT_EQ(inForce.Parity, NOPARITY);
    EXPECT_EQ(inForce.StopBits, ONESTOPBIT);
    EXPECT_EQ(inForce.EvtChar, 10);
    EXPECT_EQ(inForce.XonLim, 256);
    EXPECT_EQ(inForce.XoffLim, 256);
    EXPECT_TRUE(inForce.fBinary);
    EXPECT_FALSE(inForce.fOutX || inForce.fInX || inForce.fOutxCtsFlow || inForce.fOutxDsrFlow);
    EXPECT_EQ(inForce.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(inForce.fRtsControl, RTS_CONTROL_DISABLE);
    EXPECT_EQ(inForce, port.BuildDCB());

    COMMTIMEOUTS timeouts;
    ASSERT_TRUE(GetCommTimeouts(port.Handle(), timeouts));
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 4294967295u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 1000u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
}

TEST_F(PortOnPty, CarriesAllByteValuesBothWays)
{
    port.Open();
    const std::string bytes = AllByteValues();
    EXPECT_EQ(port.WriteText(bytes), 256);
    EXPECT_EQ(device.Receive(256), bytes);

    ASSERT_TRUE(device.Send(bytes));
    ASSERT_TRUE(WaitForInput(256));
    std::string read;
    EXPECT_EQ(port.ReadText(read, 256), 256);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(port.BytesWaiting(), 0);
}

TEST_F(PortOnPty, ReadTextTakesAtMostWhatIsWaiting)
{
    port.Open();
    std::string data = "stale";
    EXPECT_EQ(port.ReadText(data, 0), 0);
    EXPECT_EQ(data, "");
    EXPECT_EQ(port.ReadText(data, 10), 0);  // nothing waiting: returns at once
    EXPECT_EQ(data, "");

    ASSERT_TRUE(device.Send("abc\r\n"));
    ASSERT_TRUE(WaitForInput(5));
    EXPECT_EQ(port.ReadText(data, 2), 2);
    EXPECT_EQ(data, "ab");
    EXPECT_EQ(port.ReadText(data, 100), 3);
    EXPECT_EQ(data, "c\r\n");
    // A negative count reads nothing and never hands the platform a bad size.
    EXPECT_EQ(port.ReadText(data, -5), 0);
    EXPECT_EQ(data, "");
}

TEST_F(PortOnPty, PurgeQueuesDiscardsWaitingInput)
{
    port.Open();
    ASSERT_TRUE(device.Send("to be dropped\n"));
    ASSERT_TRUE(WaitForInput(14));
    // No flag: PurgeComm is still called, and refuses an empty request as
    // Windows does; nothing goes.
    const EComPort refused = CatchComError([&] { port.PurgeQueues(false, false); });
    EXPECT_EQ(refused.Code, ComErrorCode::PurgeFailed);
    EXPECT_EQ(refused.WinCode, static_cast<std::int32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(port.BytesWaiting(), 14);
    port.PurgeQueues(true, true);
    EXPECT_EQ(port.BytesWaiting(), 0);
    std::string data;
    EXPECT_EQ(port.ReadText(data, 100), 0);

    ASSERT_TRUE(device.Send("kept\n"));
    ASSERT_TRUE(WaitForInput(5));
    EXPECT_EQ(port.ReadText(data, 100), 5);
    EXPECT_EQ(data, "kept\n");
}

TEST_F(PortOnPty, WriteTextOfNothingWritesNothing)
{
    port.Open();
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(port.WriteText("\x02"
                             "80\x03\r"),
              5);
    EXPECT_EQ(device.Receive(5), "\x02"
                                 "80\x03\r");
}

TEST_F(PortOnPty, AsyncOperationsAndTheirRecord)
{
    port.Open();
    PAsync record = NewAsyncRecord();
    const std::string frame = "frame\n";
    port.WriteTextAsync(frame, record);
    EXPECT_EQ(port.AwaitAsync(record), 6);
    EXPECT_EQ(record->Kind, akWrite);
    FreeAsyncRecord(record);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(device.Receive(6), frame);

    const EComPort e = CatchComError([&] { port.AwaitAsync(nullptr); });
    EXPECT_EQ(e.Code, 4);
    EXPECT_EQ(e.WinCode, -1);
    EXPECT_STREQ(e.what(), "Invalid Async parameter");
}

TEST_F(PortOnPty, OpeningANameNothingAnswersToFailsAndCanBeRetried)
{
    TComPort other;
    other.SetEvents({});
    other.SetPortNum(PtyDevice::UnusedComName());
    const EComPort e = CatchComError([&] { other.Open(); });
    EXPECT_EQ(e.Code, 1);
    EXPECT_EQ(e.WinCode, 2);
    EXPECT_EQ(std::string(e.what()), "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(other.Connected());
    EXPECT_EQ(other.Handle(), INVALID_HANDLE_VALUE);

    other.SetPortNum(device.ComName());
    other.Open();
    EXPECT_TRUE(other.Connected());
}

TEST_F(PortOnPty, ASecondOpenOfAHeldPortIsRefused)
{
    port.Open();
    TComPort second;
    second.SetEvents({});
    second.SetPortNum(device.ComName());
    const EComPort e = CatchComError([&] { second.Open(); });
    EXPECT_EQ(e.Code, 1);
    EXPECT_EQ(e.WinCode, 5);
    EXPECT_FALSE(second.Connected());
    port.Close();
    second.Open();  // free again
    EXPECT_TRUE(second.Connected());
}

TEST(ClosedPort, OperationsFailWithTheirCodes)
{
    TComPort never;
    const EComPort waiting = CatchComError([&] { never.BytesWaiting(); });
    EXPECT_EQ(waiting.Code, 10);
    EXPECT_EQ(waiting.WinCode, 6);
    EXPECT_EQ(std::string(waiting.what()), "ClearCommError function failed (win error code: 6)");
    EXPECT_EQ(CatchComError([&] { never.PurgeQueues(true, true); }).Code, 5);
    EXPECT_EQ(CatchComError([&] { never.WriteText("x"); }).Code, 2);
    std::string data;
    EXPECT_EQ(CatchComError([&] { never.ReadText(data, 1); }).Code, 3);
    EXPECT_EQ(CatchComError([&] { never.ModemSignals(); }).Code, 11);
    EXPECT_EQ(CatchComError([&] { never.LineErrors(); }).Code, 10);
}

// One reading of every failure, from the system's code and whether it came
// at open or from a call on an open handle.
TEST(PortFailure, OneReadingOfEachCode)
{
    using F = TPortFailure;
    using namespace ComErrorCode;
    struct Row {
        std::int32_t code, winCode;
        TPortFailure reading;
    };
    for (const Row& row : {Row{OpenFailed, 5, F::pfInUseOrRefused}, Row{OpenFailed, 32, F::pfInUseOrRefused},
                           Row{OpenFailed, 2, F::pfNoSuchDevice}, Row{OpenFailed, 3, F::pfNoSuchDevice},
                           Row{OpenFailed, 1167, F::pfNoSuchDevice}, Row{OpenFailed, 31, F::pfOther},
                           Row{WriteFailed, 5, F::pfDeviceGone}, Row{WriteFailed, 21, F::pfDeviceGone},
                           Row{PurgeFailed, 22, F::pfDeviceGone}, Row{ClearErrorFailed, 31, F::pfDeviceGone},
                           Row{ReadFailed, 995, F::pfDeviceGone}, Row{AsyncStatus, 1167, F::pfDeviceGone},
                           Row{SetStateFailed, 1617, F::pfDeviceGone}, Row{ClearErrorFailed, 6, F::pfDeviceGone},
                           Row{WriteFailed, 2, F::pfDeviceGone}, Row{AsyncStatus, 1, F::pfDeviceGone},
                           Row{PurgeFailed, 121, F::pfDeviceGone}, Row{PurgeFailed, 87, F::pfOther},
                           Row{SyncMethodWhileOpen, -1, F::pfOther}}) {
        EXPECT_EQ(ClassifyPortFailure(EComPort(row.code, row.winCode)), row.reading)
            << "code " << row.code << ", system code " << row.winCode;
    }
}

TEST_F(PortOnPty, OpenAndCloseActOnlyOnAChange)
{
    int opened = 0, closed = 0;
    port.SetOnOpen([&](TObject* sender) {
        EXPECT_EQ(sender, &port);
        ++opened;
    });
    port.SetOnClose([&](TObject*) { ++closed; });
    port.Close();
    port.Open();
    port.Open();
    EXPECT_EQ(opened, 1);
    port.Close();
    port.Close();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(port.Handle(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(port.ThreadCreated());
}

TEST_F(PortOnPty, SyncMethodCannotChangeWhileOpen)
{
    port.Open();
    EXPECT_NO_THROW(port.SetSyncMethod(smWindowSync));  // same value
    const EComPort e = CatchComError([&] { port.SetSyncMethod(smNone); });
    EXPECT_EQ(e.Code, 14);
    EXPECT_EQ(e.WinCode, -1);
    EXPECT_STREQ(e.what(), "Cannot set SyncMethod while connected");
    EXPECT_EQ(port.SyncMethod(), smWindowSync);
    port.Close();
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
}

// Each setter given the value it holds, on an open port: no platform call.
TEST_F(PortOnPty, SettingTheSameValueMakesNoPlatformCall)
{
    port.Open();
    const auto before = CommCallCount();
    port.SetBaudRate(br57600);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.SetDiscardNull(false);
    port.SetEventChar(10);
    port.SetSyncMethod(smWindowSync);
    port.SetPortNum(port.PortNum());
    port.Parity().SetBits(prNone);
    port.Parity().SetCheck(false);
    port.Parity().SetReplace(false);
    port.Parity().SetReplaceChar(0);
    port.FlowControl().SetControlDTR(dtrDisable);
    port.FlowControl().SetControlRTS(rtsDisable);
    port.FlowControl().SetXonChar(17);
    port.FlowControl().SetXoffChar(19);
    port.FlowControl().SetXonXoffIn(false);
    port.Timeouts().SetReadInterval(-1);
    port.Timeouts().SetWriteTotalMultiplier(1000);
    port.Buffer().SetInputSize(1024);
    port.Buffer().SetOutputSize(1024);
    port.SetEvents({evRxChar});
    EXPECT_EQ(CommCallCount(), before);

    // A changed value does reach the device, one call per change.
    port.SetBaudRate(br115200);
    port.Timeouts().SetReadTotalConstant(5);
    port.Buffer().SetOutputSize(2048);
    EXPECT_EQ(CommCallCount(), before + 3);
    DCB dcb;
    ASSERT_TRUE(GetCommState(port.Handle(), dcb));
    EXPECT_EQ(dcb.BaudRate, 115200u);
}

TEST_F(PortOnPty, WholeObjectAssignmentAppliesEvenWithoutAChange)
{
    port.Open();
    TComParity sameParity;
    sameParity.CopyFrom(port.Parity());
    const auto before = CommCallCount();
    port.SetParity(sameParity);
    port.SetTimeouts(port.Timeouts());
    EXPECT_EQ(CommCallCount(), before + 2);
    // The source stays apart from the port.
    sameParity.SetBits(prOdd);
    EXPECT_EQ(CommCallCount(), before + 2);
}

TEST_F(PortOnPty, XonXoffLimitsFollowInputSizeAtTheNextLineApplication)
{
    port.Buffer().SetInputSize(1000);
    port.Open();
    DCB dcb;
    ASSERT_TRUE(GetCommState(port.Handle(), dcb));
    EXPECT_EQ(dcb.XonLim, 250);
    EXPECT_EQ(dcb.XoffLim, 250);

    port.Buffer().SetInputSize(1024);  // sizes only
    ASSERT_TRUE(GetCommState(port.Handle(), dcb));
    EXPECT_EQ(dcb.XonLim, 250);
    port.SetEventChar(13);  // the whole block again
    ASSERT_TRUE(GetCommState(port.Handle(), dcb));
    EXPECT_EQ(dcb.XonLim, 256);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.EvtChar, 13);
}

TEST_F(PortOnPty, ADifferentPortNameTextReopens)
{
    int opened = 0, closed = 0;
    port.SetOnOpen([&](TObject*) { ++opened; });
    port.SetOnClose([&](TObject*) { ++closed; });
    port.Open();
    const std::string name = port.PortNum();
    std::string lower = name;
    lower.replace(0, 3, "com");

    port.SetPortNum(name);  // the same text: nothing
    EXPECT_EQ(closed, 0);
    port.SetPortNum(lower);  // another text for the same port: reopened
    EXPECT_EQ(port.PortNum(), name);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(port.Connected());

    // A name nothing answers to: closed, with the new name kept.
    const EComPort e = CatchComError([&] { port.SetPortNum(PtyDevice::UnusedComName()); });
    EXPECT_EQ(e.Code, 1);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.PortNum(), PtyDevice::UnusedComName());
}

// Settings the platform refuses, met at Open: the code of the routine that
// failed, and nothing left open behind.
struct RefusedSetting {
    const char* name;
    void (*change)(TComPort&);
    std::int32_t code;
};

class OpenWithRefusedSetting : public PortOnPty, public ::testing::WithParamInterface<RefusedSetting> {};

TEST_P(OpenWithRefusedSetting, FailsWithItsCodeAndClosesTheDeviceAgain)
{
    GetParam().change(port);
    const EComPort e = CatchComError([&] { port.Open(); });
    EXPECT_EQ(e.Code, GetParam().code);
    EXPECT_EQ(e.WinCode, 87);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), INVALID_HANDLE_VALUE);
    TComPort next;
    next.SetEvents({});
    next.SetPortNum(device.ComName());
    EXPECT_NO_THROW(next.Open());  // the device was released
}

INSTANTIATE_TEST_SUITE_P(Routines, OpenWithRefusedSetting,
                         ::testing::Values(RefusedSetting{"XonEqualsXoff",
                                                          [](TComPort& p) {
                                                              p.FlowControl().SetXonXoffIn(true);
                                                              p.FlowControl().SetXoffChar(17);
                                                          },
                                                          7},
                                           RefusedSetting{"ReadTimeoutsAllOnes",
                                                          [](TComPort& p) {
                                                              p.Timeouts().SetReadTotalMultiplier(-1);
                                                              p.Timeouts().SetReadTotalConstant(-1);
                                                          },
                                                          8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortOnPty, ARefusedChangeOnAnOpenPortStaysStored)
{
    port.Open();
    port.FlowControl().SetXonXoffIn(true);
    const EComPort e = CatchComError([&] { port.FlowControl().SetXoffChar(17); });
    EXPECT_EQ(e.Code, 7);
    EXPECT_EQ(std::string(e.what()), "SetCommState function failed (win error code: 87)");
    EXPECT_EQ(port.FlowControl().XoffChar(), 17);
    DCB inForce;
    ASSERT_TRUE(GetCommState(port.Handle(), inForce));
    EXPECT_EQ(inForce.XoffChar, 19);
    EXPECT_TRUE(port.Connected());
}
