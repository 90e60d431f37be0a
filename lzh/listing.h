// What the archive-handle functions of the archiver library report per
// member, in the family's own units: ratios in thousandths, MS-DOS dates and
// times, attribute bits, the family's numbers for the writing system; and
// the member search behind FindFirst / FindNext with its wildcards.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lzh/header.h"
#include "lzh/status.h"
#include "lzh/times.h"

namespace kb::lzh {

// Packed size in thousandths of the original, rounded to the nearest; 0 for
// an empty original.  A member that grew reports more than 1000, and what
// does not fit the 16-bit answer is held at 0xFFFE (0xFFFF means an error).
std::uint16_t RatioPerMille(std::uint64_t packed, std::uint64_t original);

struct DosDateTime {
  std::uint16_t date = 0;  // (year - 1980) << 9 | month << 5 | day
  std::uint16_t time = 0;  // hour << 11 | minute << 5 | second / 2
};

// A calendar time in MS-DOS form, held within what it can say (1980 to
// 2107).
DosDateTime DosFromCivil(const CivilTime& t);

// The member's time stamp as a local MS-DOS date and time: levels 0 and 1
// store one; a Unix time (UTC) goes through localTime.
DosDateTime MemberDosTime(const MemberHeader& h, const std::function<CivilTime(std::uint32_t)>& localTime);

// The family's attribute bits.
constexpr unsigned kAttrReadOnly = 0x01;
constexpr unsigned kAttrHidden = 0x02;
constexpr unsigned kAttrSystem = 0x04;
constexpr unsigned kAttrDirectory = 0x10;
constexpr unsigned kAttrArchive = 0x20;

// The member's MS-DOS attributes as stored (none stored: a plain file), a
// folder member ("-lhd-") always with kAttrDirectory.
unsigned MemberAttributes(const MemberHeader& h);

// The attributes as five letters, read-only, hidden, system, folder and
// archive in this order, each "-" when not set: "r---a", "---d-".
std::string AttributeText(unsigned attributes);

// The family's number for the system a member's header names (0 MS-DOS,
// 2 Unix, 5 OS/2, 18 Windows NT, 19 Windows 95, ...); 10 ("other") for a
// system the family has no number for.
int OsTypeNumber(std::uint8_t osId);

// Where a pattern is compared: the whole stored path, or only its file name.
// By default a pattern with a folder in it takes the whole path.
enum class MatchScope { kByPattern, kWholePath, kFileNameOnly };

// Wildcards over Shift-JIS paths: "*" any run of characters and "?" one
// character (a double-byte character is one), neither across a folder
// separator; "\" and "/" are the same; A-Z match a-z; a part "*.*" matches
// every name, with or without a dot.
bool MatchWildcard(std::string_view pattern, std::string_view path);

// The patterns FindFirst takes: several separated by blanks, a quoted one
// may hold blanks; none (or "*") matches every member.
class MemberPatterns {
 public:
  MemberPatterns(std::string_view patterns, MatchScope scope);
  bool Matches(std::string_view path) const;

 private:
  std::vector<std::string> patterns_;
  MatchScope scope_;
};

// One walk over an archive's members: Start and Next find the members the
// patterns match, front to back, and keep the totals of those found.
class MemberSearch {
 public:
  // The members read, and the error that stopped the reading when the
  // archive breaks after them.
  MemberSearch(std::vector<MemberLocation> members, std::optional<LzhError> brokenAfter);

  // Starts a new walk and finds its first member.
  const MemberLocation* Start(std::string_view patterns, MatchScope scope);
  // The next match; null at the end.  Throws brokenAfter when the walk
  // reaches it (every later call throws it again).
  const MemberLocation* Next();

  bool started() const { return patterns_.has_value(); }
  // The member found last; null before the first and after the end.
  const MemberLocation* current() const { return current_; }
  std::uint64_t foundOriginal() const { return foundOriginal_; }
  std::uint64_t foundPacked() const { return foundPacked_; }
  const std::vector<MemberLocation>& members() const { return members_; }

 private:
  std::vector<MemberLocation> members_;
  std::optional<LzhError> brokenAfter_;
  std::optional<MemberPatterns> patterns_;
  std::size_t next_ = 0;
  const MemberLocation* current_ = nullptr;
  std::uint64_t foundOriginal_ = 0;
  std::uint64_t foundPacked_ = 0;
};

}  // namespace kb::lzh
