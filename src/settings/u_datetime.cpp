#include "settings/u_datetime.h"

namespace {

constexpr int64_t DaySeconds = 86400;
// Days from 0000-03-01 (proleptic Gregorian) to 1899-12-30.
constexpr int64_t BaseDays = 693899;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days since 0000-03-01 of a civil date (any month, normalised first).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y += FloorDiv(m - 1, 12);
  m = m - 1 - FloorDiv(m - 1, 12) * 12 + 1;
  if (m <= 2) --y;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (m + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

}  // namespace

TLocalDateTime EncodeDateTime(const TDateTimeParts& p) {
  const int64_t days = DaysFromCivil(p.Year, p.Month, p.Day) - BaseDays;
  return {days * DaySeconds + int64_t{p.Hour} * 3600 + int64_t{p.Minute} * 60 + p.Second};
}

TDateTimeParts DecodeDateTime(TLocalDateTime value) {
  const int64_t days = FloorDiv(value.Seconds, DaySeconds);
  const int64_t secs = value.Seconds - days * DaySeconds;
  const int64_t z = days + BaseDays;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  TDateTimeParts p;
  p.Year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  p.Month = static_cast<int>(m);
  p.Day = static_cast<int>(d);
  p.Hour = static_cast<int>(secs / 3600);
  p.Minute = static_cast<int>(secs / 60 % 60);
  p.Second = static_cast<int>(secs % 60);
  return p;
}

TLocalDateTime DateOf(TLocalDateTime value) {
  return {FloorDiv(value.Seconds, DaySeconds) * DaySeconds};
}

bool DateTimeFromUnix(int64_t seconds, TLocalDateTime& value) {
  // Compared before adding, so that no sum can overflow.
  if (seconds < MinDateTime.Seconds - UnixEpochSeconds ||
      seconds > MaxDateTime.Seconds - UnixEpochSeconds)
    return false;
  value.Seconds = seconds + UnixEpochSeconds;
  return true;
}

int64_t DateTimeToUnix(TLocalDateTime value) {
  return value.Seconds - UnixEpochSeconds;
}
