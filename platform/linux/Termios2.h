#pragma once
// The tty configuration calls that need struct termios2 (exact rates through
// BOTHER). <asm/termbits.h> clashes with glibc's <termios.h>, so termios2
// stays inside Termios2.cpp and nothing else includes either here.

#include "platform/linux/DcbTermios.h"

#include <cstdint>

namespace platform::detail {

// Puts the flags, control characters and rate into force; 0 or an errno.
int ApplyTermios(int fd, const TermiosSettings& settings);

// The output rate in force, for the block an opened port reports before
// anyone sets one; 0 when the tty cannot tell.
std::uint32_t CurrentBaudRate(int fd);

}  // namespace platform::detail
