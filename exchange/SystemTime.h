#pragma once
// The PC clock as Panel5 shows it: "yy.mm.dd hh:nn:ss", two digits each, so
// every part stands at a fixed position.
//
//   Panel5 = FormatPanel5(NowFromQt(), ':');
//   std::string hours = Panel5Part(Panel5, kPanel5Hours);   // "09"

#include <string>

namespace exchange {

// A local date and time, free of any clock API.
struct TDateTimeParts {
    int Year = 0;  // full year; only its last two digits are shown
    int Month = 0;
    int Day = 0;
    int Hour = 0;  // 0 .. 23
    int Minute = 0;
    int Second = 0;
};

// The date separator is always "."; the time separator is the system's.
std::string FormatPanel5(const TDateTimeParts& when, char timeSeparator);

// 1-based positions of the two-digit parts in the Panel5 text.
inline constexpr int kPanel5Year = 1;
inline constexpr int kPanel5Month = 4;
inline constexpr int kPanel5Day = 7;
inline constexpr int kPanel5Hours = 10;
inline constexpr int kPanel5Minutes = 13;
inline constexpr int kPanel5Seconds = 16;

// The two characters at `pos`, read as an integer and given two digits
// ("%.2d"). Throws EConvertError when they are not an integer.
std::string Panel5Part(const std::string& panel5, int pos);

}  // namespace exchange
