// COM names: the port folder, links, and the automatic names of real devices
// (from a sysfs tree built here).

#include "TestSupport.h"
#include "platform/linux/PortNames.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace platform::test {
namespace {

namespace fs = std::filesystem;

TEST(PortFolderRule, RuntimeDirectoryOrPerUserTmp)
{
    ScopedPortFolder folder;
    EXPECT_EQ(PortFolder(), folder.Dir() + "/tornvale/ports");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PortFolder(), "/tmp/tornvale-" + std::to_string(getuid()) + "/ports");
}

TEST(PortFolderRule, SharedTmpDirectoryMustBeOurs)
{
    ScopedPortFolder folder;
    unsetenv("XDG_RUNTIME_DIR");
    const std::string base = "/tmp/tornvale-" + std::to_string(getuid());
    struct stat st {};
    if (lstat(base.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) GTEST_SKIP() << base << " exists and is no directory";
    std::string error;
    ASSERT_TRUE(EnsurePortFolder(&error)) << error;
    ASSERT_EQ(lstat(base.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST(PortLinks, LinkResolveUnlink)
{
    ScopedPortFolder folder;
    PseudoTerminal pty;
    std::string error;
    EXPECT_EQ(ResolvePortName("COM40"), "");
    ASSERT_TRUE(LinkPort("COM40", pty.SlavePath(), &error)) << error;
    EXPECT_EQ(ResolvePortName("COM40"), pty.SlavePath());
    EXPECT_EQ(ResolvePortName("com40"), pty.SlavePath());

    PseudoTerminal other;
    EXPECT_FALSE(LinkPort("COM40", other.SlavePath(), &error));
    EXPECT_NE(error.find("already linked"), std::string::npos) << error;

    EXPECT_TRUE(UnlinkPort("COM40"));
    EXPECT_FALSE(UnlinkPort("COM40"));
    EXPECT_EQ(ResolvePortName("COM40"), "");
}

TEST(PortLinks, RefusesNamesAndPathsThatCouldEscape)
{
    ScopedPortFolder folder;
    std::string error;
    EXPECT_FALSE(LinkPort("../COM1", "/dev/null", &error));
    EXPECT_FALSE(LinkPort("COM1/x", "/dev/null", &error));
    EXPECT_FALSE(LinkPort("COM41", "relative/tty", &error));
    EXPECT_FALSE(UnlinkPort("../../etc"));
}

TEST(PortLinks, ALinkWhoseDeviceHasGoneCountsAsAbsent)
{
    ScopedPortFolder folder;
    // A stand-in device node that can vanish for sure: a freed pty number may
    // be taken at once by another process.
    const std::string device = folder.Dir() + "/ttyGone";
    std::ofstream(device).put('x');
    ASSERT_TRUE(LinkPort("COM42", device));
    EXPECT_EQ(ResolvePortName("COM42"), device);
    fs::remove(device);
    EXPECT_EQ(ResolvePortName("COM42"), "");
    for (const auto& port : ListSerialPorts()) EXPECT_NE(port.comName, "COM42");
    // A simulator that died left it behind; the next one may take the name.
    PseudoTerminal fresh;
    std::string error;
    ASSERT_TRUE(LinkPort("COM42", fresh.SlavePath(), &error)) << error;
    EXPECT_EQ(ResolvePortName("COM42"), fresh.SlavePath());
}

TEST(PortLinks, ALinkWhoseOwnerHasEndedCountsAsAbsent)
{
    ScopedPortFolder folder;
    PseudoTerminal pty;  // still there: only the owner is gone
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(LinkPort("COM43", pty.SlavePath()) ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::is_symlink(PortFolder() + "/COM43"));
    EXPECT_EQ(ResolvePortName("COM43"), "");
    std::string error;
    EXPECT_TRUE(LinkPort("COM43", pty.SlavePath(), &error)) << error;
    EXPECT_EQ(ResolvePortName("COM43"), pty.SlavePath());
    // A link made by hand has no owner and lives with its device.
    fs::create_symlink(pty.SlavePath(), PortFolder() + "/COM44");
    EXPECT_EQ(ResolvePortName("COM44"), pty.SlavePath());
}

TEST(PortLinks, ListingPutsLiveLinksFirstAndFirstFreeAvoidsEverything)
{
    ScopedPortFolder folder;
    const auto detected = DetectSerialDevices();
    const int free1 = FirstFreeComNumber();
    for (const auto& device : detected) EXPECT_NE(device.comName, "COM" + std::to_string(free1));

    PseudoTerminal pty;
    const std::string number = std::to_string(free1);
    ASSERT_TRUE(LinkPort("COM" + number, pty.SlavePath()));
    // Other spellings of the same port, linked by hand, give it no second name.
    EXPECT_FALSE(LinkPort("COM0" + number, pty.SlavePath()));
    for (const std::string& other : {"COM0" + number, number, "COM+" + number})
        fs::create_symlink(pty.SlavePath(), PortFolder() + "/" + other);
    EXPECT_EQ(ResolvePortName("COM0" + number), "");
    const auto ports = ListSerialPorts();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0].comName, "COM" + std::to_string(free1));
    EXPECT_TRUE(ports[0].linked);
    EXPECT_EQ(ports[0].devicePath, pty.SlavePath());
    EXPECT_EQ(ports[0].kernelName, pty.KernelName());
    EXPECT_EQ(ports[0].description, "pseudo-terminal");
    EXPECT_EQ(ports.size(), detected.size() + 1);
    EXPECT_GT(FirstFreeComNumber(), free1);
}

// A sysfs tty class directory with the shapes real machines have.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tornvale-sysfs-XXXXXX").string();
        root = mkdtemp(pattern.data());
        fs::create_directories(root / "class/tty");
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& file, const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }

    // /sys/class/tty/<name> -> devices/<devicePath>/tty/<name>, with `device`
    // pointing at devices/<devicePath>.
    void AddTty(const std::string& name, const std::string& devicePath, const char* type = nullptr)
    {
        const fs::path device = root / "devices" / devicePath;
        const fs::path node = device / "tty" / name;
        fs::create_directories(node);
        fs::create_symlink(device, node / "device");
        if (type) Write(node / "type", type);
        fs::create_directory_symlink(node, root / "class/tty" / name);
    }

    fs::path root;
};

TEST_F(FakeSysfs, AutomaticNamesAreStableByKernelName)
{
    AddTty("ttyS0", "pnp0/00:01", "4");
    AddTty("ttyS1", "platform/serial8250/ttyS1", "0");  // phantom slot
    AddTty("ttyS3", "pnp0/00:03", "4");
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
    Write(root / "devices" / usb / "idVendor", "0403");
    Write(root / "devices" / usb / "idProduct", "6001");
    Write(root / "devices" / usb / "manufacturer", "FTDI");
    Write(root / "devices" / usb / "product", "FT232R USB UART");
    AddTty("ttyUSB0", usb + "/1-2:1.0/ttyUSB0");
    const std::string acm = "pci0000:00/0000:00:14.0/usb1/1-3";
    Write(root / "devices" / acm / "idVendor", "2341");
    Write(root / "devices" / acm / "idProduct", "0043");
    AddTty("ttyACM0", acm + "/1-3:1.0");
    AddTty("ttyUSB10", usb + "/1-2:1.1/ttyUSB10");
    // Virtual consoles have no device link.
    fs::create_directories(root / "class/tty/tty0");

    const auto ports = detail::DetectSerialDevicesIn((root / "class/tty").string(), "/dev");
    struct Expected {
        const char* com;
        const char* kernel;
        const char* description;
    };
    const Expected expected[] = {
        {"COM1", "ttyS0", "on-board UART"},           {"COM4", "ttyS3", "on-board UART"},
        {"COM5", "ttyACM0", "USB serial 2341:0043"},  {"COM6", "ttyUSB0", "FTDI FT232R USB UART"},
        {"COM7", "ttyUSB10", "FTDI FT232R USB UART"},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].comName, expected[i].com);
        EXPECT_EQ(ports[i].kernelName, expected[i].kernel);
        EXPECT_EQ(ports[i].devicePath, std::string("/dev/") + expected[i].kernel);
        EXPECT_EQ(ports[i].description, expected[i].description);
        EXPECT_FALSE(ports[i].linked);
    }
}

TEST_F(FakeSysfs, NoOnBoardPortsStartsUsbAtComOne)
{
    const std::string usb = "usb1/1-1";
    Write(root / "devices" / usb / "idVendor", "10c4");
    Write(root / "devices" / usb / "manufacturer", "Silicon Labs");
    Write(root / "devices" / usb / "product", "CP2102 USB to UART Bridge Controller");
    AddTty("ttyUSB0", usb + "/1-1:1.0/ttyUSB0");
    const auto ports = detail::DetectSerialDevicesIn((root / "class/tty").string(), "/dev");
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].comName, "COM1");
    EXPECT_EQ(ports[0].description, "Silicon Labs CP2102 USB to UART Bridge Controller");
}

TEST_F(FakeSysfs, DevicesBeyondTheLastComNameAreLeftOut)
{
    AddTty("ttyS254", "pnp0/00:fe", "4");
    AddTty("ttyS255", "pnp0/00:ff", "4");
    AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
    const auto ports = detail::DetectSerialDevicesIn((root / "class/tty").string(), "/dev");
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].comName, "COM255");
    EXPECT_EQ(ports[0].kernelName, "ttyS254");
}

TEST_F(FakeSysfs, MissingDirectoryGivesNothing)
{
    EXPECT_TRUE(detail::DetectSerialDevicesIn((root / "nowhere").string(), "/dev").empty());
}

}  // namespace
}  // namespace platform::test
