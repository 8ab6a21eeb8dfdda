#include "platform/PortFolder.h"

#include "platform/linux/PortNames.h"
#include "platform/linux/Posix.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

namespace platform {
namespace detail {
namespace {

bool MakeDirectory(const std::string& path, std::string* error)
{
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
    if (error) *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
}

// /tmp is shared: the per-user directory must be a real directory of ours,
// or another user could plant links that our ports resolve through.
bool CheckPrivate(const std::string& path, std::string* error)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        if (error) *error = path + " is not a directory owned by this user";
        return false;
    }
    return true;
}

std::string LinkPath(int number)
{
    return PortFolder() + "/" + ComName(number);
}

// LinkPort records the linking process beside the link. Pseudo-terminal
// numbers are reused as soon as a pty closes, so the link of a simulator that
// was killed may point at somebody else's terminal a moment later; a link
// whose recorded owner has ended counts as absent. Links made by hand carry
// no owner and live as long as their target.
std::string OwnerPath(int number)
{
    return LinkPath(number) + ".owner";
}

bool OwnerGone(int number)
{
    std::ifstream in(OwnerPath(number));
    long pid = 0;
    if (!(in >> pid) || pid <= 0) return false;
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void RecordOwner(int number)
{
    posix::ReplaceFile(OwnerPath(number), std::to_string(getpid()) + "\n");
}

bool TargetExists(const std::string& linkPath)
{
    struct stat st {};
    return stat(linkPath.c_str(), &st) == 0;
}

std::string ReadLink(const std::string& linkPath)
{
    std::string target(4096, '\0');
    const ssize_t n = readlink(linkPath.c_str(), target.data(), target.size());
    if (n <= 0) return {};
    target.resize(static_cast<std::size_t>(n));
    if (target[0] != '/') target = PortFolder() + "/" + target;
    return target;
}

std::string KernelNameOf(const std::string& devicePath)
{
    // "/dev/pts/7" -> "pts7", "/dev/ttyUSB0" -> "ttyUSB0"
    const std::string pts = "/dev/pts/";
    if (devicePath.rfind(pts, 0) == 0) return "pts" + devicePath.substr(pts.size());
    const auto slash = devicePath.find_last_of('/');
    return slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
}

}  // namespace

std::string LiveLinkTarget(int number)
{
    const std::string path = LinkPath(number);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || !TargetExists(path) || OwnerGone(number)) return {};
    return ReadLink(path);
}

}  // namespace detail

std::string PortFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/tornvale/ports";
    return "/tmp/tornvale-" + std::to_string(getuid()) + "/ports";
}

bool EnsurePortFolder(std::string* error)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base;
    if (runtime && *runtime) {
        // Create the runtime directory's missing parents too (tests point it
        // at fresh temporary directories).
        const std::string root = runtime;
        for (std::size_t pos = 1; pos <= root.size(); ++pos) {
            if (pos == root.size() || root[pos] == '/')
                if (!detail::MakeDirectory(root.substr(0, pos), error)) return false;
        }
        base = root + "/tornvale";
        if (!detail::MakeDirectory(base, error)) return false;
    } else {
        base = "/tmp/tornvale-" + std::to_string(getuid());
        if (!detail::MakeDirectory(base, error) || !detail::CheckPrivate(base, error)) return false;
    }
    return detail::MakeDirectory(base + "/ports", error);
}

bool LinkPort(const std::string& comName, const std::string& ttyPath, std::string* error)
{
    const auto number = ParseComName(comName);
    if (!number) {
        if (error) *error = "'" + comName + "' is not a COM name";
        return false;
    }
    if (ttyPath.empty() || ttyPath[0] != '/') {
        if (error) *error = "the device path must be absolute: '" + ttyPath + "'";
        return false;
    }
    if (!EnsurePortFolder(error)) return false;
    const std::string path = detail::LinkPath(*number);
    if (symlink(ttyPath.c_str(), path.c_str()) == 0) {
        detail::RecordOwner(*number);
        return true;
    }
    if (errno != EEXIST) {
        if (error) *error = "cannot link " + path + ": " + std::strerror(errno);
        return false;
    }
    // A stale link may already name this very device: a new pty often gets
    // the number of the one that died with the last simulator.
    if (detail::ReadLink(path) == ttyPath) {
        detail::RecordOwner(*number);
        return true;
    }
    if (!detail::LiveLinkTarget(*number).empty()) {
        if (error) *error = ComName(*number) + " is already linked to " + detail::ReadLink(path);
        return false;
    }
    // A link whose device or owner has gone is stale (a simulator that did
    // not clean up): replace it in one step.
    if (!posix::ReplaceAside(path,
                             [&](const std::string& aside) { return symlink(ttyPath.c_str(), aside.c_str()) == 0; })) {
        if (error) *error = "cannot replace " + path + ": " + std::strerror(errno);
        return false;
    }
    detail::RecordOwner(*number);
    return true;
}

bool UnlinkPort(const std::string& comName)
{
    const auto number = ParseComName(comName);
    if (!number) return false;
    const std::string path = detail::LinkPath(*number);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    unlink((path + ".lines").c_str());
    unlink(detail::OwnerPath(*number).c_str());
    return unlink(path.c_str()) == 0;
}

std::vector<SerialPortInfo> ListSerialPorts()
{
    const std::vector<SerialPortInfo> detected = DetectSerialDevices();
    std::vector<SerialPortInfo> result;
    std::set<int> linked;
    std::vector<int> numbers;
    if (DIR* dir = opendir(PortFolder().c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (const auto number = ParseComName(entry->d_name)) numbers.push_back(*number);
        }
        closedir(dir);
    }
    std::sort(numbers.begin(), numbers.end());
    for (const int number : numbers) {
        const std::string target = detail::LiveLinkTarget(number);
        if (target.empty()) continue;
        linked.insert(number);
        SerialPortInfo info;
        info.comName = ComName(number);
        info.devicePath = target;
        info.kernelName = detail::KernelNameOf(target);
        info.linked = true;
        info.description = "linked device";
        if (info.kernelName.rfind("pts", 0) == 0) info.description = "pseudo-terminal";
        for (const auto& device : detected)
            if (device.devicePath == target) info.description = device.description;
        result.push_back(std::move(info));
    }
    for (const auto& device : detected)
        if (!linked.count(*ParseComName(device.comName))) result.push_back(device);
    return result;
}

std::string ResolvePortName(const std::string& comName)
{
    const auto number = ParseComName(comName);
    if (!number) return {};
    std::string target = detail::LiveLinkTarget(*number);
    if (!target.empty()) return target;
    const std::string canonical = ComName(*number);
    for (const auto& device : DetectSerialDevices())
        if (device.comName == canonical) return device.devicePath;
    return {};
}

int FirstFreeComNumber()
{
    std::set<int> taken;
    for (const auto& port : ListSerialPorts()) taken.insert(*ParseComName(port.comName));
    int number = 1;
    while (taken.count(number)) ++number;
    return number;
}

}  // namespace platform
