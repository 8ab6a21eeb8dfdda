#include "platform/PortFacts.h"

#include "platform/PortFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

namespace platform {

namespace {

std::string GroupName(gid_t gid)
{
    if (const group* g = getgrgid(gid)) return g->gr_name;
    return std::to_string(gid);
}

std::string UserName(uid_t uid)
{
    if (const passwd* p = getpwuid(uid)) return p->pw_name;
    return std::to_string(uid);
}

bool InSessionGroups(gid_t gid)
{
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

std::string FirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// /proc/<pid>/comm holds at most 15 characters; the program's own name from
// its command line when that is where a longer one was cut.
std::string ProcessName(int pid)
{
    const std::string dir = "/proc/" + std::to_string(pid);
    const std::string comm = FirstLine(dir + "/comm");
    if (comm.size() < 15) return comm;
    std::ifstream in(dir + "/cmdline", std::ios::binary);
    std::string argv0;
    std::getline(in, argv0, '\0');
    const std::string base = argv0.substr(argv0.rfind('/') + 1);
    return base.rfind(comm, 0) == 0 ? base : comm;
}

std::optional<int> LockHolder(const struct stat& node)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 812 00:18:5 0 EOF"; "1: -> FLOCK ..." is a waiter.
        std::istringstream fields(line);
        std::string id, kind, advisory, access, pid, where;
        fields >> id >> kind;
        if (kind == "->") continue;
        fields >> advisory >> access >> pid >> where;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (major == ::major(node.st_dev) && minor == ::minor(node.st_dev) && inode == node.st_ino)
            return std::atoi(pid.c_str());
    }
    return std::nullopt;
}

// The first process with a descriptor that `matches` (given the process's
// fd directory, the descriptor's name and its link text); only the
// processes whose /proc/<pid>/fd this user may read.
template <typename Match>
std::optional<int> FindDescriptor(Match matches)
{
    std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
    if (!proc) return std::nullopt;
    while (const dirent* entry = readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0) continue;
        const std::string fdDir = std::string("/proc/") + entry->d_name + "/fd";
        std::unique_ptr<DIR, int (*)(DIR*)> fds(opendir(fdDir.c_str()), closedir);
        if (!fds) continue;  // another user's process
        while (const dirent* fd = readdir(fds.get())) {
            // The link's text, not its target: a stat could hang on a stuck file system.
            char target[PATH_MAX];
            const ssize_t n = readlink((fdDir + "/" + fd->d_name).c_str(), target, sizeof target - 1);
            if (n > 0 && matches(fdDir, fd->d_name, std::string_view(target, static_cast<std::size_t>(n))))
                return static_cast<int>(pid);
        }
    }
    return std::nullopt;
}

std::optional<int> DescriptorHolder(const std::string& canonicalPath)
{
    return FindDescriptor(
        [&](const std::string&, const char*, std::string_view target) { return target == canonicalPath; });
}

// The process holding the master side of pseudo-terminal /dev/pts/<index>:
// the kernel names a master's index in its descriptor's fdinfo.
std::optional<int> MasterHolder(const std::string& index)
{
    const std::string wanted = "tty-index:\t" + index;
    return FindDescriptor([&](const std::string& fdDir, const char* fd, std::string_view target) {
        if (!target.ends_with("ptmx")) return false;
        std::ifstream info(fdDir.substr(0, fdDir.size() - 2) + "fdinfo/" + fd);
        std::string line;
        while (std::getline(info, line))
            if (line == wanted) return true;
        return false;
    });
}

DeviceNodeAccess AccessTo(const std::string& path, const struct stat& node)
{
    DeviceNodeAccess access;
    access.mode = node.st_mode & 07777;
    access.ownerName = UserName(node.st_uid);
    access.groupName = GroupName(node.st_gid);
    access.refused =
        faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EPERM);
    // The owner's bits decide for the owner, whatever the group allows; a
    // member refused already is refused for another reason (an ACL, a
    // security module); and the root group is never the way in.
    access.joiningGroupHelps = access.refused && (access.mode & 060) == 060 && node.st_gid != 0 &&
                               node.st_uid != geteuid() && !InSessionGroups(node.st_gid);
    return access;
}

std::optional<PortHolder> Named(std::optional<int> pid)
{
    if (!pid) return std::nullopt;
    return PortHolder{*pid, ProcessName(*pid)};
}

std::string CanonicalPath(const std::string& path)
{
    char canonical[PATH_MAX];
    return realpath(path.c_str(), canonical) ? canonical : std::string();
}

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& devicePath)
{
    struct stat node {};
    if (stat(devicePath.c_str(), &node) != 0) return std::nullopt;
    if (const auto pid = LockHolder(node)) return Named(pid);
    const std::string canonical = CanonicalPath(devicePath);
    if (canonical.empty()) return std::nullopt;
    return Named(DescriptorHolder(canonical));
}

std::optional<PortHolder> FindTerminalProvider(const std::string& devicePath)
{
    const std::string canonical = CanonicalPath(devicePath);
    const std::string pts = "/dev/pts/";
    if (canonical.rfind(pts, 0) != 0) return std::nullopt;
    const std::string index = canonical.substr(pts.size());
    if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return Named(MasterHolder(index));
}

PortFacts ExaminePort(const std::string& comName)
{
    PortFacts facts;
    const std::string path = ResolvePortName(comName);
    struct stat node {};
    if (path.empty() || stat(path.c_str(), &node) != 0) return facts;
    facts.devicePath = path;
    facts.access = AccessTo(path, node);
    if (facts.access.refused) return facts;
    facts.holder = FindPortHolder(path);
    if (!facts.holder) facts.provider = FindTerminalProvider(path);
    return facts;
}

}  // namespace platform
