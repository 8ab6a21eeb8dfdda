#pragma once
// The frame checksum: CRC-16/MODBUS (reflected polynomial 0xA001, start
// 0xFFFF, no final XOR), carried as four upper-case hex digits.

#include <cstdint>
#include <string>

// Checksum of the first `count` bytes of `text`; 0xFFFF for a count of zero
// or less. A count beyond the text covers the whole text.
std::uint16_t GetChecksumme(const std::string& text, std::int32_t count);

// "0AF3": four upper-case hex digits with leading zeros.
std::string ChecksumText(std::uint16_t checksum);
