#include "FuzzChecks.h"

#include <algorithm>

namespace fuzzcheck {

void Require(bool holds, const char* rule)
{
    if (!holds) throw FuzzRuleBroken(rule);
}

std::string Input::Bytes(std::size_t count)
{
    const std::size_t n = std::min(count, size_ - std::min(pos_, size_));
    std::string out(reinterpret_cast<const char*>(data_) + pos_, n);
    pos_ += n;
    return out;
}

std::string Input::Until(std::uint8_t separator)
{
    std::string out;
    while (!Empty()) {
        const std::uint8_t b = Byte();
        if (b == separator) break;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

}  // namespace fuzzcheck
