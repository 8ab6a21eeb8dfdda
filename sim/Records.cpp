#include "sim/Records.h"

#include <cstdio>

namespace sim {
namespace {

// SplitMix64: a fixed, portable mixer, so the same seed gives the same records
// on every machine and compiler.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t RecordHash(const DateTime& day, int number, std::uint64_t seed, std::uint64_t field)
{
    std::uint64_t h = Mix(seed);
    h = Mix(h ^ static_cast<std::uint64_t>(day.year * 10000 + day.month * 100 + day.day));
    h = Mix(h ^ static_cast<std::uint64_t>(number));
    return Mix(h ^ field);
}

}  // namespace

bool HasRecord(const DateTime& day, int number, const RecordSettings& settings)
{
    DateTime midnight{day.year, day.month, day.day, 0, 0, 0};
    return IsValid(midnight) && number >= 1 && number <= settings.perDay && number <= kMaxRecordsPerDay;
}

DateTime RecordTime(const DateTime& day, int number, const RecordSettings& settings)
{
    const DateTime midnight{day.year, day.month, day.day, 0, 0, 0};
    const std::int64_t offset = static_cast<std::int64_t>(number - 1) * 86400 / settings.perDay;
    return FromSeconds(ToSeconds(midnight) + offset);
}

std::string RecordBody(const DateTime& day, int number, const RecordSettings& settings)
{
    const std::uint64_t counter = RecordHash(day, number, settings.seed, 1) % 10000000000ull;
    const std::uint64_t millimetres = RecordHash(day, number, settings.seed, 2) % 100000000ull;
    char text[96];
    std::snprintf(text, sizeof text, "%04d;%s;%010llu;%05llu.%03llu", number,
                  RecordStamp(RecordTime(day, number, settings)).c_str(), static_cast<unsigned long long>(counter),
                  static_cast<unsigned long long>(millimetres / 1000),
                  static_cast<unsigned long long>(millimetres % 1000));
    return text;
}

}  // namespace sim
