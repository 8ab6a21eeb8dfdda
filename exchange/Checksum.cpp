#include "exchange/Checksum.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t reg = static_cast<std::uint16_t>(byte);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1u) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001u) : static_cast<std::uint16_t>(reg >> 1);
        table[byte] = reg;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

std::uint16_t GetChecksumme(const std::string& text, std::int32_t count)
{
    std::uint16_t reg = 0xFFFF;
    const std::size_t n = count <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(count), text.size());
    for (std::size_t i = 0; i < n; ++i)
        reg = static_cast<std::uint16_t>((reg >> 8) ^ kTable[(reg ^ static_cast<unsigned char>(text[i])) & 0xFFu]);
    return reg;
}

std::string ChecksumText(std::uint16_t checksum)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = digits[checksum & 0xFu];
        checksum = static_cast<std::uint16_t>(checksum >> 4);
    }
    return out;
}
