#pragma once
// A download's progress on standard error: on a terminal one line redrawn in
// place, a bar over the days and the records of the day under way; to a file
// or a pipe plain lines, one as each day begins and one as it ends.

#include <iosfwd>
#include <string>

namespace cli {

class TProgress {
public:
    TProgress(std::ostream& err, bool terminal, int days, int language);

    void DayBegins(const std::string& day);
    void Records(int stored);  // so far, of the day under way
    void DayEnds();
    // Ends the line the bar is drawn on, so a message starts on its own.
    void Break();

private:
    void Draw();

    std::ostream& err_;
    bool terminal_;
    int days_;
    int language_;
    int done_ = 0;
    std::string day_;
    int records_ = -1;
    bool drawn_ = false;     // the bar's line is not yet ended
    std::size_t width_ = 0;  // of the line drawn last
};

}  // namespace cli
