#include "cli/Progress.h"

#include "cli/CliTexts.h"

#include <ostream>

namespace cli {

namespace {
constexpr int kBarWidth = 20;
}

TProgress::TProgress(std::ostream& err, bool terminal, int days, int language)
    : err_(err), terminal_(terminal), days_(days), language_(language)
{
}

void TProgress::DayBegins(const std::string& day)
{
    day_ = day;
    records_ = 0;
    if (terminal_)
        Draw();
    else
        err_ << Text(TCliText::ctDayProgress, language_, {day_, "0"}) << " ..." << std::endl;
}

void TProgress::Records(int stored)
{
    if (stored == records_) return;
    records_ = stored;
    if (terminal_) Draw();
}

void TProgress::DayEnds()
{
    ++done_;
    if (terminal_) {
        Draw();
        if (done_ == days_) Break();
    } else {
        err_ << Text(TCliText::ctDayProgress, language_, {day_, std::to_string(records_)}) << std::endl;
    }
    err_.flush();
}

void TProgress::Break()
{
    if (!drawn_) return;
    err_ << '\n' << std::flush;
    drawn_ = false;
}

void TProgress::Draw()
{
    drawn_ = true;
    const int filled = days_ > 0 ? done_ * kBarWidth / days_ : kBarWidth;
    std::string line(1, '[');
    line.append(std::size_t(filled), '#').append(std::size_t(kBarWidth - filled), '-');
    line += "] " + std::to_string(done_) + '/' + std::to_string(days_) + "  " +
            Text(TCliText::ctDayProgress, language_, {day_, std::to_string(records_)});
    // Blanks over what a longer line left, rather than an escape sequence a
    // Windows console may not know.
    const std::size_t width = line.size();
    if (width < width_) line += std::string(width_ - width, ' ');
    width_ = width;
    err_ << '\r' << line << std::flush;
}

}  // namespace cli
