#pragma once
// What a reply line is by its shape alone, whatever was asked: the device's
// clock, a stored record, or its refusal of a frame. The device session goes
// by it so that a late clock answer is never a record and a refusal is never
// data.

#include <string>

namespace exchange {

// The device's clock line: "yy.mm.dd hh:nn:ss" (six two-digit numbers, each
// pair parted by one character that is not a digit), then the four
// hexadecimal checksum digits and CR. A record line (45 characters and its
// checksum) never has this shape.
bool IsClockLine(const std::string& line);

// A record: "nnnn;dd.mm.yyyy hh:nn:ss;cccccccccc;vvvvv.vvv", its ";" at
// characters 5, 25 and 36.
bool IsRecordLine(const std::string& line);

// The device refused the frame: "ERR ..." ("ERR DATE", "ERR CHECKSUM" ...).
bool IsRefusal(const std::string& line);

}  // namespace exchange
