#pragma once
// Text edits at 1-based positions, as frames, reply lines and paths are
// described. They never fail: only characters that exist are taken or removed.
//
//   CopyChars("ABCDE", 2, 3) == "BCD"
//   ReplaceChars(frame, 13, 2, "09")   // delete 2 at 13, insert "09" at 13

#include <cstdint>
#include <string>

namespace exchange {

// Characters start .. start+count-1. A start below 1 counts as 1, a negative
// count as 0; the result ends at the end of the text.
std::string CopyChars(const std::string& text, int start, int count);

// Removes up to `count` characters at `pos`; nothing when pos is below 1 or
// beyond the end, only up to the end when fewer follow.
std::string DeleteChars(const std::string& text, int pos, int count);

// Inserts `piece` so that it begins at `pos`; beyond the end it is appended,
// below 1 it goes to the start.
std::string InsertChars(const std::string& text, int pos, const std::string& piece);

// DeleteChars then InsertChars at the same position: how a field is written
// into a frame.
std::string ReplaceChars(const std::string& text, int pos, int count, const std::string& piece);

// "%.*d": the integer with at least `digits` digits, zero-padded; a minus
// sign comes before the padded digits (-5, 2 -> "-05").
std::string ZeroPadded(std::int32_t value, int digits);

// 1-based position of the first `c`, 0 when there is none.
int PosOf(char c, const std::string& text);

}  // namespace exchange
