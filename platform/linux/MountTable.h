#pragma once
// The kernel's mount table (/proc/self/mounts) and udev's names, as text.

#include <string>
#include <vector>

namespace platform::detail {

struct Mount {
    std::string device;      // "/dev/sdb1", "server:/export", "proc"
    std::string mountPoint;  // "/media/anna/MY USB"

    bool operator==(const Mount&) const = default;
};

// One entry per well-formed line, in the table's order; the kernel's octal
// escapes (\040 for a blank, \011, \012, \134) decoded.
std::vector<Mount> ParseMountTable(const std::string& text);

// A name under /dev/disk/by-label with udev's \xHH escapes decoded: "MY\x20USB" -> "MY USB".
std::string DecodeUdevName(const std::string& name);

}  // namespace platform::detail
