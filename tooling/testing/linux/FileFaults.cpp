#include "tooling/testing/FileFaults.h"

#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

// The capabilities that let root ignore permission bits on files and folders.
constexpr std::uint32_t kOverrideMask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

// capget/capset act on the calling thread only, which is what a scoped
// change on the test's thread wants; glibc has no wrapper without libcap.
bool GetCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool SetCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ScopedFileSizeLimit::ScopedFileSizeLimit(std::uint64_t bytes)
{
    rlimit old{};
    if (::getrlimit(RLIMIT_FSIZE, &old) != 0) return;
    oldSoft_ = old.rlim_cur;
    oldHard_ = old.rlim_max;
    // Without this the kernel ends the process with SIGXFSZ instead of
    // failing the write with EFBIG.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    if (::sigaction(SIGXFSZ, &ignore, &previous) != 0) return;
    oldHandler_ = reinterpret_cast<void*>(previous.sa_handler);
    rlimit limit{static_cast<rlim_t>(bytes), old.rlim_max};
    if (old.rlim_max != RLIM_INFINITY && limit.rlim_cur > old.rlim_max) limit.rlim_cur = old.rlim_max;
    active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!active_) ::sigaction(SIGXFSZ, &previous, nullptr);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    if (!active_) return;
    rlimit limit{static_cast<rlim_t>(oldSoft_), static_cast<rlim_t>(oldHard_)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    struct sigaction restore {};
    restore.sa_handler = reinterpret_cast<void (*)(int)>(oldHandler_);
    ::sigemptyset(&restore.sa_mask);
    ::sigaction(SIGXFSZ, &restore, nullptr);
}

ScopedPermissionChecks::ScopedPermissionChecks()
{
    __user_cap_data_struct data[2]{};
    if (!GetCaps(data)) return;
    savedEffective_[0] = data[0].effective;
    savedEffective_[1] = data[1].effective;
    if ((data[0].effective & kOverrideMask) == 0) {
        enforced_ = true;  // nothing to lower: an ordinary user
        return;
    }
    data[0].effective &= ~kOverrideMask;
    lowered_ = SetCaps(data);
    enforced_ = lowered_;
}

ScopedPermissionChecks::~ScopedPermissionChecks()
{
    if (!lowered_) return;
    __user_cap_data_struct data[2]{};
    if (!GetCaps(data)) return;
    data[0].effective = savedEffective_[0];
    data[1].effective = savedEffective_[1];
    SetCaps(data);
}

}  // namespace platform
