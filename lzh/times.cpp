#include "lzh/times.h"

#include <algorithm>

namespace kb::lzh {

CivilTime CivilFromUnix(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Civil date from a day count, with years starting on 1 March so that the
  // leap day falls at the end of the year; an era is 400 years.
  std::int64_t z = days + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t dayOfEra = z - era * 146097;
  std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
  CivilTime t;
  t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

CivilTime CivilFromDosTime(std::uint32_t stamp) {
  CivilTime t;
  t.year = 1980 + static_cast<int>(stamp >> 25);
  t.month = static_cast<int>(stamp >> 21 & 0x0F);
  t.day = static_cast<int>(stamp >> 16 & 0x1F);
  t.hour = static_cast<int>(stamp >> 11 & 0x1F);
  t.minute = static_cast<int>(stamp >> 5 & 0x3F);
  t.second = static_cast<int>((stamp & 0x1F) * 2);
  return t;
}

namespace {
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSeconds1601To1970 = 11'644'473'600;
}  // namespace

std::uint32_t UnixFromFileTime(std::uint64_t fileTime) {
  std::uint64_t seconds = fileTime / kTicksPerSecond;
  if (seconds <= kSeconds1601To1970) return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(seconds - kSeconds1601To1970, 0xFFFFFFFFu));
}

std::uint64_t FileTimeFromUnix(std::uint32_t unixTime) {
  return (unixTime + kSeconds1601To1970) * kTicksPerSecond;
}

}  // namespace kb::lzh
