#pragma once
// File-system faults made on purpose, for tests that show what the readout
// file does when the disk fills or access is refused. Each is undone when its
// object goes out of scope.

#include <cstdint>

namespace platform {

// Files of this process cannot grow beyond `bytes`: a write past it fails
// with EFBIG as on a full disk (the signal the kernel would send for it is
// ignored meanwhile). Applies to the whole process.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(std::uint64_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool Active() const { return active_; }

private:
    bool active_ = false;
    std::uint64_t oldSoft_ = 0, oldHard_ = 0;
    void* oldHandler_ = nullptr;
};

// The calling thread obeys file permission bits even when it runs as root
// (the override capabilities are lowered from its effective set, and raised
// again at the end). Without root nothing needs to change.
class ScopedPermissionChecks {
public:
    ScopedPermissionChecks();
    ~ScopedPermissionChecks();
    ScopedPermissionChecks(const ScopedPermissionChecks&) = delete;
    ScopedPermissionChecks& operator=(const ScopedPermissionChecks&) = delete;
    // Whether permission bits now apply to this thread.
    bool Enforced() const { return enforced_; }

private:
    bool enforced_ = false;
    bool lowered_ = false;
    std::uint32_t savedEffective_[2] = {0, 0};
};

}  // namespace platform
