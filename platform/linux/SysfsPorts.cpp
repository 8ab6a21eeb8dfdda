// Finding serial devices through sysfs, without opening them: opening a port
// to probe it can toggle DTR and RTS on whatever is attached.

#include "platform/linux/PortNames.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace fs = std::filesystem;

namespace platform::detail {
namespace {

std::string ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

// "ttyUSB10" -> ("ttyUSB", 10); names without a number sort after those with one.
std::tuple<std::string, long, std::string> NaturalKey(const std::string& name)
{
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size() || name.size() - digits > 9) return {name, -1, name};
    return {name.substr(0, digits), std::stol(name.substr(digits)), name};
}

std::optional<int> OnBoardIndex(const std::string& name)
{
    auto [prefix, number, full] = NaturalKey(name);
    if (prefix != "ttyS" || number < 0 || number > 9998) return std::nullopt;
    return static_cast<int>(number);
}

// The USB device (the directory with idVendor) above a tty's device, if any.
std::optional<fs::path> UsbAncestor(const fs::path& device)
{
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    if (ec) return std::nullopt;
    for (int level = 0; level < 8 && dir.has_relative_path(); ++level) {
        if (fs::exists(dir / "idVendor", ec)) return dir;
        dir = dir.parent_path();
    }
    return std::nullopt;
}

std::string UsbDescription(const fs::path& usb)
{
    const std::string manufacturer = ReadFirstLine(usb / "manufacturer");
    const std::string product = ReadFirstLine(usb / "product");
    if (!product.empty()) {
        if (manufacturer.empty() || product.rfind(manufacturer, 0) == 0) return product;
        return manufacturer + " " + product;
    }
    if (!manufacturer.empty()) return manufacturer + " USB serial";
    return "USB serial " + ReadFirstLine(usb / "idVendor") + ":" + ReadFirstLine(usb / "idProduct");
}

}  // namespace

std::vector<SerialPortInfo> DetectSerialDevicesIn(const std::string& sysClassTty, const std::string& devDir)
{
    std::vector<SerialPortInfo> onBoard;
    std::vector<SerialPortInfo> others;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysClassTty, ec)) {
        const fs::path dir = entry.path();
        const std::string name = dir.filename().string();
        if (!fs::exists(dir / "device", ec)) continue;  // virtual consoles, ptmx, ...
        // A serial-core slot of type 0 (PORT_UNKNOWN) has no UART behind it.
        const fs::path type = dir / "type";
        if (fs::exists(type, ec) && ReadFirstLine(type) == "0") continue;

        SerialPortInfo info;
        info.kernelName = name;
        info.devicePath = (fs::path(devDir) / name).string();
        if (const auto usb = UsbAncestor(dir / "device"))
            info.description = UsbDescription(*usb);
        else
            info.description = "on-board UART";
        if (const auto index = OnBoardIndex(name)) {
            if (!IsComNumber(*index + 1)) continue;
            info.comName = ComName(*index + 1);
            onBoard.push_back(std::move(info));
        } else {
            others.push_back(std::move(info));
        }
    }
    if (ec) return {};

    int next = 1;
    for (const auto& port : onBoard) next = std::max(next, *ParseComName(port.comName) + 1);
    std::sort(others.begin(), others.end(),
              [](const auto& a, const auto& b) { return NaturalKey(a.kernelName) < NaturalKey(b.kernelName); });
    for (auto& port : others) {
        if (!IsComNumber(next)) break;
        port.comName = ComName(next++);
    }
    std::erase_if(others, [](const auto& port) { return port.comName.empty(); });

    std::vector<SerialPortInfo> all = std::move(onBoard);
    all.insert(all.end(), std::make_move_iterator(others.begin()), std::make_move_iterator(others.end()));
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return *ParseComName(a.comName) < *ParseComName(b.comName); });
    return all;
}

namespace {
std::atomic<bool> machinePortsVisible{true};
}

void SetMachinePortsVisible(bool visible)
{
    machinePortsVisible.store(visible);
}

}  // namespace platform::detail

namespace platform {

std::vector<SerialPortInfo> DetectSerialDevices()
{
    if (!detail::machinePortsVisible.load()) return {};
    return detail::DetectSerialDevicesIn("/sys/class/tty", "/dev");
}

}  // namespace platform
