#include "sim/FrameParser.h"

namespace sim {

void FrameParser::FlushGarbage(std::vector<FrameEvent>& events)
{
    if (!garbage_.empty()) {
        events.push_back({FrameEvent::Kind::Garbage, std::move(garbage_), {}});
        garbage_.clear();
    }
}

void FrameParser::Reset()
{
    state_ = State::Outside;
    frame_.clear();
    garbage_.clear();
}

void FrameParser::Feed(std::string_view bytes, std::vector<FrameEvent>& events)
{
    for (const char c : bytes) {
        switch (state_) {
        case State::Outside:
            if (c == STX) {
                FlushGarbage(events);
                frame_.assign(1, c);
                state_ = State::InBody;
            } else {
                garbage_ += c;
            }
            break;
        case State::InBody:
            if (c == STX) {
                // A new frame begins before the old one ended: the old one is lost.
                garbage_ = std::move(frame_);
                FlushGarbage(events);
                frame_.assign(1, c);
            } else if (c == ETX) {
                frame_ += c;
                state_ = State::AfterEtx;
            } else if (frame_.size() > kMaxBody) {
                garbage_ = std::move(frame_);
                garbage_ += c;
                frame_.clear();
                state_ = State::Outside;
            } else {
                frame_ += c;
            }
            break;
        case State::AfterEtx: {
            std::string body = frame_.substr(1, frame_.size() - 2);
            if (c == CR) {
                frame_ += c;
                events.push_back({FrameEvent::Kind::Frame, std::move(frame_), std::move(body)});
                frame_.clear();
                state_ = State::Outside;
            } else {
                events.push_back({FrameEvent::Kind::Malformed, std::move(frame_), std::move(body)});
                frame_.clear();
                state_ = State::Outside;
                // The byte after ETX may itself start the next frame.
                if (c == STX) {
                    frame_.assign(1, c);
                    state_ = State::InBody;
                } else {
                    garbage_ += c;
                }
            }
            break;
        }
        }
    }
    FlushGarbage(events);
}

}  // namespace sim
