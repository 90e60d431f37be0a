// Time stamps of members: Unix time (level 2), MS-DOS time (levels 0 and 1)
// and the platform's file times (100 ns steps since 1601).
#pragma once

#include <cstdint>

namespace kb::lzh {

struct CivilTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// A Unix time as a UTC calendar time.
CivilTime CivilFromUnix(std::int64_t seconds);

// The calendar time an MS-DOS date and time (date in the high word) hold.
CivilTime CivilFromDosTime(std::uint32_t stamp);

// Seconds since 1970 of a file time, kept within what the header's 32 bits
// hold (earlier times give 0).
std::uint32_t UnixFromFileTime(std::uint64_t fileTime);

// The file time (100 ns steps since 1601) of a Unix time.
std::uint64_t FileTimeFromUnix(std::uint32_t unixTime);

}  // namespace kb::lzh
