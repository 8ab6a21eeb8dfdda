#include "exchange/ReplyLineSplitter.h"

#include "exchange/ControlChars.h"

namespace exchange {

TReplyLineSplitter::TReplyLineSplitter(std::size_t tailLimit) : limit_(tailLimit) {}

std::vector<std::string> TReplyLineSplitter::Feed(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = bytes.find(LF); lf != std::string_view::npos; lf = bytes.find(LF, start)) {
        tail_.append(bytes.substr(start, lf + 1 - start));
        lines.push_back(std::move(tail_));
        tail_.clear();
        start = lf + 1;
    }

    std::string_view rest = bytes.substr(start);
    // Drop from the front so the newest bytes, those nearest the next LF, stay.
    if (rest.size() >= limit_) {
        dropped_ += tail_.size() + (rest.size() - limit_);
        tail_.assign(rest.substr(rest.size() - limit_));
    } else {
        tail_.append(rest);
        if (tail_.size() > limit_) {
            const std::size_t excess = tail_.size() - limit_;
            tail_.erase(0, excess);
            dropped_ += excess;
        }
    }
    return lines;
}

void TReplyLineSplitter::Clear()
{
    tail_.clear();
}

}  // namespace exchange
