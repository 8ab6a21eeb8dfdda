// The COM-name rule: what the component keeps for a text (COM followed by a
// number from 1 to 255, else COM1), and whether the text is the one name of
// its port that the port folder, the device detection and the simulator take.

#include <gtest/gtest.h>

#include "platform/ComName.h"
#include "serial/CPort.h"

struct PortNameCase {
    const char* text;
    const char* stored;
    bool canonical;
};

void PrintTo(const PortNameCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class PortNameRule : public ::testing::TestWithParam<PortNameCase> {};

TEST_P(PortNameRule, KeepsTheNamedPortAndTakesOnlyItsOneName)
{
    const PortNameCase& c = GetParam();
    EXPECT_EQ(NormalizePortName(c.text), c.stored);
    const auto listed = platform::ParseComName(c.text);
    EXPECT_EQ(listed.has_value(), c.canonical);
    if (listed) {
        EXPECT_EQ(platform::ComName(*listed), c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, PortNameRule,
                         ::testing::Values(
                             // Plain names, any case of "com".
                             PortNameCase{"COM3", "COM3", true}, PortNameCase{"com12", "COM12", true},
                             PortNameCase{"cOm7", "COM7", true}, PortNameCase{"COM1", "COM1", true},
                             // Every Windows COM number survives; COM17 must not become COM1.
                             PortNameCase{"COM16", "COM16", true}, PortNameCase{"COM17", "COM17", true},
                             PortNameCase{"CoM255", "COM255", true}, PortNameCase{"COM256", "COM1", false},
                             PortNameCase{"COM300", "COM1", false}, PortNameCase{"COM1000", "COM1", false},
                             PortNameCase{"COM0", "COM1", false}, PortNameCase{"COM-3", "COM1", false},
                             // Other spellings of a port that the run-time's conversion reads: the
                             // component keeps the port, the folder takes none of them.
                             PortNameCase{"12", "COM12", false}, PortNameCase{"COM 5", "COM5", false},
                             PortNameCase{" 5", "COM5", false}, PortNameCase{"$10", "COM16", false},
                             PortNameCase{"COM$A", "COM10", false}, PortNameCase{"x5", "COM5", false},
                             PortNameCase{"COM0x1F", "COM31", false}, PortNameCase{"COM+7", "COM7", false},
                             PortNameCase{"COM007", "COM7", false}, PortNameCase{"COM01", "COM1", false},
                             // What it refuses.
                             PortNameCase{"COM5 ", "COM1", false}, PortNameCase{"COM5x", "COM1", false},
                             PortNameCase{"COM", "COM1", false}, PortNameCase{"", "COM1", false},
                             PortNameCase{"LPT1", "COM1", false}, PortNameCase{"CO", "COM1", false},
                             PortNameCase{"COM99999999999", "COM1", false}, PortNameCase{"COM$", "COM1", false},
                             // Names that could lead out of the port folder.
                             PortNameCase{"../COM1", "COM1", false}, PortNameCase{"COM1/..", "COM1", false}));

TEST(PortNum, StoresTheNormalisedNameOfADifferentText)
{
    TComPort port;
    EXPECT_EQ(port.PortNum(), "COM1");
    port.SetPortNum("com12");
    EXPECT_EQ(port.PortNum(), "COM12");
    port.SetPortNum("LPT1");
    EXPECT_EQ(port.PortNum(), "COM1");
}
