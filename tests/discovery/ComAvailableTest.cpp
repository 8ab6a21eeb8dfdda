// The port list's rules on device maps given as lists.

#include "portlist/ComAvailable.h"

#include <gtest/gtest.h>

#include <ostream>

using platform::SerialCommValue;

namespace {

struct ListCase {
    const char* name;
    std::vector<SerialCommValue> values;
    QStringList expected;
};

class PortListRules : public ::testing::TestWithParam<ListCase> {};

TEST_P(PortListRules, GiveTheExpectedList)
{
    EXPECT_EQ(ComAvailableFrom(GetParam().values), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListRules,
    ::testing::Values(ListCase{"Empty", {}, {}},
                      ListCase{
                          "TwoPorts", {{"\\Device\\Serial0", "COM1"}, {"\\Device\\VCP0", "COM3"}}, {"COM1", "COM3"}},
                      ListCase{"LowerCaseDataKeptAsItIs", {{"\\Device\\Serial1", "com4"}}, {"com4"}},
                      ListCase{"NameWithoutDeviceSkipped", {{"Serial0", "COM1"}, {"\\Dev\\Serial1", "COM2"}}, {}},
                      ListCase{"DeviceInAnyCaseAnywhere", {{"my_dEvIcE_7", "COM7"}}, {"COM7"}},
                      ListCase{"DataNotStartingWithComSkipped",
                               {{"\\Device\\A", "LPT1"},
                                {"\\Device\\B", " COM5"},
                                {"\\Device\\C", "\tCOM6"},
                                {"\\Device\\D", "CO"},
                                {"\\Device\\E", ""}},
                               {}},
                      ListCase{"TrailingBlanksAndControlsRemoved",
                               {{"\\Device\\A", "COM5 \t\r\n"}, {"\\Device\\B", std::string("COM6\0", 5)}},
                               {"COM5", "COM6"}},
                      ListCase{"TextOrderPutsCom10BeforeCom2",
                               {{"\\Device\\A", "COM2"}, {"\\Device\\B", "COM10"}, {"\\Device\\C", "COM1"}},
                               {"COM1", "COM10", "COM2"}},
                      ListCase{"CaseIgnoredInOrder",
                               {{"\\Device\\A", "COM5"}, {"\\Device\\B", "com4"}, {"\\Device\\C", "COM3"}},
                               {"COM3", "com4", "COM5"}},
                      ListCase{"DuplicatesKept",
                               {{"\\Device\\A", "COM3"}, {"\\Device\\B", "COM3"}, {"\\Device\\C", "COM1"}},
                               {"COM1", "COM3", "COM3"}},
                      ListCase{"PseudoTerminalEntry", {{"\\Device\\pts7", "COM5"}}, {"COM5"}},
                      ListCase{"NamesThatWouldOpenAnotherPortSkipped",
                               {{"\\Device\\A", "COM300"},
                                {"\\Device\\B", "COM0"},
                                {"\\Device\\C", "COM07"},
                                {"\\Device\\D", "COM4x"},
                                {"\\Device\\E", "COM 5"},
                                {"\\Device\\F", "COM255"}},
                               {"COM255"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortListRules, NonTextValueFailsTheWholeListing)
{
    const std::vector<SerialCommValue> values{{"\\Device\\A", "COM1", true}, {"\\Device\\Odd", "", false}};
    try {
        ComAvailableFrom(values);
        FAIL() << "expected ERegistryException";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(std::string(e.what()), "Ung\xFCltiger Datentyp f\xFCr '\\Device\\Odd'");
    }
    // Even a value whose name would not have been listed.
    EXPECT_THROW(ComAvailableFrom({{"NoDev", "COM1", false}}), ERegistryException);
}

struct DescribeCase {
    const char* name;
    platform::SerialPortInfo port;
    QString expected;
};
void PrintTo(const DescribeCase& c, std::ostream* os)
{
    *os << c.name;
}

class DescribePort : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribePort, NamesTheDeviceAsTheSystemKnowsIt)
{
    EXPECT_EQ(::DescribePort(GetParam().port), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribePort,
    ::testing::Values(DescribeCase{"DeviceAndKind",
                                   {"COM3", "ttyUSB0", "/dev/ttyUSB0", "FTDI FT232R", false, ""},
                                   "COM3: /dev/ttyUSB0, FTDI FT232R"},
                      DescribeCase{"DeviceOnly", {"COM1", "ttyS0", "/dev/ttyS0", "", false, ""}, "COM1: /dev/ttyS0"},
                      // Windows without a friendly name (wine): the driver's device name.
                      DescribeCase{"DriverDeviceName",
                                   {"COM12", "Serial11", "\\Device\\Serial11", "", false, ""},
                                   "COM12: \\Device\\Serial11"},
                      DescribeCase{"FriendlyNameInstead",
                                   {"COM4", "ProlificSerial0", "\\Device\\ProlificSerial0", "", false,
                                    "Prolific USB-to-Serial Comm Port (COM4)"},
                                   "Prolific USB-to-Serial Comm Port (COM4)"},
                      DescribeCase{"FriendlyNameInUtf8",
                                   {"COM5", "VCP0", "\\Device\\VCP0", "", false, "Serielles USB-Ger\xC3\xA4t (COM5)"},
                                   QString::fromUtf8("Serielles USB-Ger\xC3\xA4t (COM5)")},
                      DescribeCase{"FriendlyNameOfAnotherCase",
                                   {"com6", "VCP1", "\\Device\\VCP1", "", false, "USB Serial Port (COM6)"},
                                   "USB Serial Port (COM6)"},
                      // A name that does not say which port: the port comes first.
                      DescribeCase{"FriendlyNameWithoutThePort",
                                   {"COM7", "BthModem0", "\\Device\\BthModem0", "", false,
                                    "Standard Serial over Bluetooth link"},
                                   "COM7: Standard Serial over Bluetooth link"},
                      DescribeCase{"FriendlyNameOfAnotherPort",
                                   {"COM1", "Serial0", "\\Device\\Serial0", "", false, "USB Serial Port (COM10)"},
                                   "COM1: USB Serial Port (COM10)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
