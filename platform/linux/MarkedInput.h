#pragma once
// Decodes the tty's marked input (PARMRK): FF FF is a literal FF, FF 00 00 a
// break, FF 00 c a character received with a parity or framing error. The
// state carries over between reads, so a mark split across two reads decodes
// the same as one read.

#include <cstddef>
#include <cstdint>

namespace platform::detail {

class MarkedInputDecoder {
public:
    enum class Kind { Byte, BadByte, Break };

    // Calls emit(Kind, byte) for each decoded item, in order.
    template <class Emit>
    void Feed(const std::uint8_t* data, std::size_t size, Emit&& emit)
    {
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t b = data[i];
            switch (state_) {
            case State::Plain:
                if (b == 0xFF)
                    state_ = State::AfterFF;
                else
                    emit(Kind::Byte, b);
                break;
            case State::AfterFF:
                if (b == 0xFF) {
                    emit(Kind::Byte, std::uint8_t{0xFF});
                    state_ = State::Plain;
                } else if (b == 0x00) {
                    state_ = State::AfterMark;
                } else {
                    // Not a mark the kernel makes; keep both bytes.
                    emit(Kind::Byte, std::uint8_t{0xFF});
                    emit(Kind::Byte, b);
                    state_ = State::Plain;
                }
                break;
            case State::AfterMark:
                emit(b == 0 ? Kind::Break : Kind::BadByte, b);
                state_ = State::Plain;
                break;
            }
        }
    }

    // Forgets a partly received mark (after the input was discarded).
    void Reset() { state_ = State::Plain; }

private:
    enum class State { Plain, AfterFF, AfterMark };
    State state_ = State::Plain;
};

}  // namespace platform::detail
