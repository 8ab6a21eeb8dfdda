#include "sim/DateTime.h"

#include <chrono>
#include <cstdio>

namespace sim {
namespace {

using namespace std::chrono;

constexpr std::int64_t kSecondsPerDay = 86400;
const sys_days kEpoch = sys_days{year{2000} / January / 1};

std::optional<int> TwoDigits(std::string_view text, std::size_t at)
{
    if (at + 2 > text.size()) return std::nullopt;
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    return (a - '0') * 10 + (b - '0');
}

}  // namespace

bool IsValid(const DateTime& t)
{
    const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
    if (t.year < 1 || t.year > 9999) return false;
    return t.month >= 1 && t.day >= 1 && date.ok() && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

std::int64_t ToSeconds(const DateTime& t)
{
    const sys_days date{year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)}};
    return (date - kEpoch).count() * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

DateTime FromSeconds(std::int64_t seconds)
{
    // Floor division, so times before the epoch land on the right day.
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const year_month_day date{kEpoch + std::chrono::days{days}};
    DateTime t;
    t.year = static_cast<int>(date.year());
    t.month = static_cast<int>(static_cast<unsigned>(date.month()));
    t.day = static_cast<int>(static_cast<unsigned>(date.day()));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::string ClockText(const DateTime& t)
{
    char text[96];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d:%02d", ((t.year % 100) + 100) % 100, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::optional<DateTime> ParseClockText(std::string_view text)
{
    if (text.size() != 17 || text[2] != '.' || text[5] != '.' || text[8] != ' ' || text[11] != ':' || text[14] != ':')
        return std::nullopt;
    const std::size_t at[] = {0, 3, 6, 9, 12, 15};
    int v[6];
    for (int i = 0; i < 6; ++i) {
        const auto n = TwoDigits(text, at[i]);
        if (!n) return std::nullopt;
        v[i] = *n;
    }
    const DateTime t{2000 + v[0], v[1], v[2], v[3], v[4], v[5]};
    if (!IsValid(t)) return std::nullopt;
    return t;
}

std::string RecordStamp(const DateTime& t)
{
    char text[96];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                  t.second);
    return text;
}

}  // namespace sim
