// The port-name rule: COM followed by a number from 1 to 255, else COM1.

#include <gtest/gtest.h>

#include "serial/CPort.h"

struct PortNameCase {
    const char* text;
    const char* stored;
};

class PortNameRule : public ::testing::TestWithParam<PortNameCase> {};

TEST_P(PortNameRule, Normalises)
{
    EXPECT_EQ(NormalizePortName(GetParam().text), GetParam().stored) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Names, PortNameRule,
                         ::testing::Values(
                             // Plain names and numbers, any case of "com".
                             PortNameCase{"COM3", "COM3"}, PortNameCase{"com12", "COM12"}, PortNameCase{"12", "COM12"},
                             PortNameCase{"cOm7", "COM7"},
                             // Every Windows COM number survives; COM17 must not become COM1.
                             PortNameCase{"COM16", "COM16"}, PortNameCase{"COM17", "COM17"},
                             PortNameCase{"COM255", "COM255"}, PortNameCase{"COM256", "COM1"},
                             PortNameCase{"COM0", "COM1"}, PortNameCase{"COM-3", "COM1"},
                             // What the run-time's conversion accepts.
                             PortNameCase{"COM 5", "COM5"}, PortNameCase{" 5", "COM5"}, PortNameCase{"$10", "COM16"},
                             PortNameCase{"x5", "COM5"}, PortNameCase{"COM0x1F", "COM31"},
                             PortNameCase{"COM+7", "COM7"}, PortNameCase{"COM007", "COM7"},
                             // What it refuses.
                             PortNameCase{"COM5 ", "COM1"}, PortNameCase{"COM5x", "COM1"}, PortNameCase{"COM", "COM1"},
                             PortNameCase{"", "COM1"}, PortNameCase{"LPT1", "COM1"}, PortNameCase{"CO", "COM1"},
                             PortNameCase{"COM99999999999", "COM1"}, PortNameCase{"COM$", "COM1"}));

TEST(PortNum, StoresTheNormalisedNameOfADifferentText)
{
    TComPort port;
    EXPECT_EQ(port.PortNum(), "COM1");
    port.SetPortNum("com12");
    EXPECT_EQ(port.PortNum(), "COM12");
    port.SetPortNum("LPT1");
    EXPECT_EQ(port.PortNum(), "COM1");
}
