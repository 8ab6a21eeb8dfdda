#pragma once
// The device's calendar: a plain date and time without time zone, as the
// QD-TR25 keeps it, and its two text forms.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct DateTime {
    int year = 2000;  // full year
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// A real calendar date (leap years included) and a time of 00:00:00..23:59:59.
bool IsValid(const DateTime& t);

// Seconds since 2000-01-01 00:00:00 (negative before) and back. The input of
// ToSeconds must be valid.
std::int64_t ToSeconds(const DateTime& t);
DateTime FromSeconds(std::int64_t seconds);

// "yy.mm.dd hh:nn:ss", the device clock as it answers "80".
std::string ClockText(const DateTime& t);
// Parses ClockText's form (years 2000-2099); nullopt if malformed or invalid.
std::optional<DateTime> ParseClockText(std::string_view text);

// "dd.mm.yyyy hh:nn:ss", the stamp of a stored record.
std::string RecordStamp(const DateTime& t);

}  // namespace sim
