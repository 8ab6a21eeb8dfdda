#pragma once
// The records the simulated device holds. Every valid day holds the same
// number of records, evenly spread over the day; their counter numbers and
// values follow from the day, the measurement number and a seed alone, so a
// test computes the lines it must receive with these same functions.

#include <cstdint>
#include <string>

#include "sim/DateTime.h"

namespace sim {

inline constexpr int kMaxRecordsPerDay = 9999;  // measurement numbers have four digits
inline constexpr std::size_t kRecordLength = 45;

struct RecordSettings {
    int perDay = 96;  // one each quarter hour
    std::uint64_t seed = 0;
};

// Whether measurement number `number` exists on `day` (a valid date; its time
// is ignored): numbers run from 1 to perDay.
bool HasRecord(const DateTime& day, int number, const RecordSettings& settings);

// When record `number` was taken: (number - 1) * 86400 / perDay seconds after
// midnight.
DateTime RecordTime(const DateTime& day, int number, const RecordSettings& settings);

// The record's 45 characters: "nnnn;dd.mm.yyyy hh:nn:ss;cccccccccc;vvvvv.vvv"
// (measurement number; date and time; counter number; value in metres).
// Requires HasRecord(day, number, settings).
std::string RecordBody(const DateTime& day, int number, const RecordSettings& settings);

}  // namespace sim
