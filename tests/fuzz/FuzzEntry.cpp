// One libFuzzer target; FUZZ_CHECK names the check it runs. A broken rule
// leaves as an exception, which libFuzzer reports as a crash with its input.

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::FUZZ_CHECK(data, size);
    return 0;
}
