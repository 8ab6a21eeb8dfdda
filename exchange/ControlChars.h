#pragma once
// The control characters of the device line. Frames are STX + payload +
// checksum + ETX + CR; reply lines end in CR LF, and LF is the port's event
// character.

namespace exchange {

inline constexpr char STX = '\x02';
inline constexpr char ETX = '\x03';
inline constexpr char LF = '\x0A';
inline constexpr char CR = '\x0D';

// An entry field commits its text on Enter, which arrives as CR.
inline constexpr bool IsCommitKey(char key)
{
    return key == CR;
}

}  // namespace exchange
