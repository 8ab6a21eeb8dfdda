#pragma once
// Resident memory of this process, for benchmarks and robustness tests that
// bound how much memory an operation may add.

#include <cstdint>

namespace platform {

struct ResidentMemory {
    std::uint64_t currentBytes = 0;  // VmRSS
    std::uint64_t peakBytes = 0;     // VmHWM: the highest resident size so far
};

// Zeros when the figures cannot be read.
ResidentMemory ReadResidentMemory();

// Lowers the recorded peak to the current resident size, so that a later
// peak shows what the operation in between added. False where the system
// cannot reset it; the peak then stays the process's lifetime peak.
bool ResetPeakResident();

}  // namespace platform
