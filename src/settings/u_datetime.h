// Local date-times as the options hold them: whole seconds of wall-clock time
// counted from 1899-12-30 00:00, with no time zone attached. A zeroed value is
// that day, the "no date" of the update check. Whole seconds are enough: the
// file stores seconds and the update check only ever stores midnights.
#pragma once

#include <compare>
#include <cstdint>

struct TLocalDateTime {
  int64_t Seconds = 0;
  auto operator<=>(const TLocalDateTime&) const = default;
};

struct TDateTimeParts {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0;
};

// Seconds from 1899-12-30 00:00 to 1970-01-01 00:00.
constexpr int64_t UnixEpochSeconds = 2209161600;

// The range a date-time may take: 0001-01-01 00:00:00 to 9999-12-31 23:59:59.
constexpr TLocalDateTime MinDateTime{-693593LL * 86400};
constexpr TLocalDateTime MaxDateTime{2958466LL * 86400 - 1};

// Fields outside their ranges carry over (month 13 is January of the next year).
TLocalDateTime EncodeDateTime(const TDateTimeParts& parts);
TDateTimeParts DecodeDateTime(TLocalDateTime value);
// Midnight of the same day.
TLocalDateTime DateOf(TLocalDateTime value);

// Seconds after 1970-01-01 00:00 taken as wall-clock time, and back. False
// (value untouched) when the result lies outside MinDateTime..MaxDateTime.
bool DateTimeFromUnix(int64_t seconds, TLocalDateTime& value);
int64_t DateTimeToUnix(TLocalDateTime value);
