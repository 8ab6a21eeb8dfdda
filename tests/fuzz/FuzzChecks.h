#pragma once
// The checks behind each fuzz target. Each takes one input of any bytes,
// drives a part of the program with it and verifies what must hold for every
// input; a broken rule throws FuzzRuleBroken. libFuzzer runs them through
// FuzzEntry.cpp (an escaping exception is a crash there), and the normal test
// suite replays every corpus file and every crash found through them.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace fuzzcheck {

class FuzzRuleBroken : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Throws FuzzRuleBroken naming the rule when `holds` is false.
void Require(bool holds, const char* rule);

// Reply lines cut from arbitrary reads, each handled in every reply mode.
void ReplyHandling(const std::uint8_t* data, std::size_t size);
// An entry field committed into a frame and a file name.
void FieldCommit(const std::uint8_t* data, std::size_t size);
// The run-time integer conversion against an independent reading of its grammar.
void IntegerConversion(const std::uint8_t* data, std::size_t size);
// The port-name rule.
void PortName(const std::uint8_t* data, std::size_t size);
// The simulator's frame parser, fed in pieces.
void SimFrames(const std::uint8_t* data, std::size_t size);
// Device control block to tty settings.
void DcbTermios(const std::uint8_t* data, std::size_t size);

// Consumes an input front to back, as the checks above do.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
    // Up to `count` bytes (fewer at the end).
    std::string Bytes(std::size_t count);
    // Everything up to the next `separator` (dropped) or the end.
    std::string Until(std::uint8_t separator);
    std::string Rest() { return Bytes(size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fuzzcheck
