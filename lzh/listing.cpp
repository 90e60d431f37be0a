#include "lzh/listing.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "lzh/sjis.h"

namespace kb::lzh {
namespace {

constexpr std::uint16_t kUnixTypeMask = 0xF000;
constexpr std::uint16_t kUnixLink = 0xA000;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A path cut into its characters (one or two bytes each).
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharLength(text, i);
    chars.push_back(text.substr(i, n));
    i += n;
  }
  return chars;
}

bool SameCharacter(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 1) {
    if (IsSeparator(a[0]) && IsSeparator(b[0])) return true;
    return FoldCase(a[0]) == FoldCase(b[0]);
  }
  return a == b;  // double-byte characters have no case
}

// The parts of a path between its folder separators.
std::vector<std::vector<std::string_view>> Parts(std::string_view path) {
  std::vector<std::vector<std::string_view>> parts(1);
  for (std::string_view c : Characters(path)) {
    if (c.size() == 1 && IsSeparator(c[0])) {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

bool IsStar(std::string_view c) { return c.size() == 1 && c[0] == '*'; }
bool IsQuestion(std::string_view c) { return c.size() == 1 && c[0] == '?'; }

// One part against one part, the usual way: on a mismatch the last star
// takes one more character.  Widening only the last star suffices, since
// whatever an earlier star would take the later one can take as well.
bool MatchPart(const std::vector<std::string_view>& pattern, const std::vector<std::string_view>& name) {
  if (pattern.size() == 3 && IsStar(pattern[0]) && pattern[1] == "." && IsStar(pattern[2])) return true;
  std::size_t p = 0;
  std::size_t n = 0;
  std::optional<std::size_t> star;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && IsStar(pattern[p])) {
      star = p++;
      starName = n;
    } else if (p < pattern.size() && (IsQuestion(pattern[p]) || SameCharacter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star) {
      p = *star + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && IsStar(pattern[p])) ++p;
  return p == pattern.size();
}

std::string_view WithoutTrailingSeparator(std::string_view path) {
  if (EndsWithSeparator(path)) path.remove_suffix(1);
  return path;
}

bool HasSeparator(std::string_view path) {
  for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (IsSeparator(path[i])) return true;
  }
  return false;
}

bool MatchesEverything(std::string_view pattern) { return pattern == "*" || pattern == "*.*"; }

}  // namespace

std::uint16_t RatioPerMille(std::uint64_t packed, std::uint64_t original) {
  constexpr std::uint64_t kMost = 0xFFFE;
  if (original == 0) return 0;
  if (packed / original >= kMost / 1000) return kMost;
  // Exact in 64 bits for every member below 8 PiB; beyond, a long double
  // rounds well enough.
  std::uint64_t r = packed <= UINT64_MAX / 2000
                        ? (packed * 2000 / original + 1) / 2
                        : static_cast<std::uint64_t>(1000.0L * packed / original + 0.5L);
  return static_cast<std::uint16_t>(std::min(r, kMost));
}

DosDateTime DosFromCivil(const CivilTime& t) {
  CivilTime c = t;
  if (c.year < 1980) c = CivilTime{1980, 1, 1, 0, 0, 0};
  if (c.year > 2107) c = CivilTime{2107, 12, 31, 23, 59, 58};
  DosDateTime d;
  d.date = static_cast<std::uint16_t>((c.year - 1980) << 9 | c.month << 5 | c.day);
  d.time = static_cast<std::uint16_t>(c.hour << 11 | c.minute << 5 | c.second / 2);
  return d;
}

DosDateTime MemberDosTime(const MemberHeader& h, const std::function<CivilTime(std::uint32_t)>& localTime) {
  if (!h.stampIsUnix) return DosDateTime{static_cast<std::uint16_t>(h.stamp >> 16), static_cast<std::uint16_t>(h.stamp)};
  return DosFromCivil(localTime(h.stamp));
}

unsigned MemberAttributes(const MemberHeader& h) {
  unsigned a = h.attributes.value_or(0) & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
  const bool link = h.unixMode && (*h.unixMode & kUnixTypeMask) == kUnixLink;
  if (h.method == "-lhd-" && !link) a |= kAttrDirectory;
  return a;
}

std::string AttributeText(unsigned attributes) {
  constexpr std::pair<unsigned, char> kLetters[] = {
      {kAttrReadOnly, 'r'}, {kAttrHidden, 'h'}, {kAttrSystem, 's'}, {kAttrDirectory, 'd'}, {kAttrArchive, 'a'}};
  std::string text;
  for (const auto& [bit, letter] : kLetters) text += (attributes & bit) != 0 ? letter : '-';
  return text;
}

int OsTypeNumber(std::uint8_t osId) {
  // The header's letters (public LHA documentation) and the family's numbers.
  constexpr std::pair<char, int> kSystems[] = {
      {'M', 0},  {'U', 2},  {'A', 3},  {'m', 4},  {'2', 5},  {'a', 7},  {'9', 11}, {'K', 12},
      {'3', 13}, {'H', 14}, {'C', 15}, {'F', 16}, {'R', 17}, {'W', 18}, {'w', 19},
  };
  for (const auto& [id, number] : kSystems) {
    if (static_cast<std::uint8_t>(id) == osId) return number;
  }
  return 10;
}

bool MatchWildcard(std::string_view pattern, std::string_view path) {
  const auto patternParts = Parts(pattern);
  const auto pathParts = Parts(path);
  if (patternParts.size() != pathParts.size()) return false;
  for (std::size_t i = 0; i < patternParts.size(); ++i) {
    if (!MatchPart(patternParts[i], pathParts[i])) return false;
  }
  return true;
}

MemberPatterns::MemberPatterns(std::string_view patterns, MatchScope scope) : scope_(scope) {
  std::string current;
  bool quoted = false;
  bool any = false;
  for (char c : patterns) {
    // A quote or a blank is never a Shift-JIS trail byte, so bytes suffice.
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) patterns_.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) patterns_.push_back(current);
  std::erase(patterns_, std::string());
}

bool MemberPatterns::Matches(std::string_view path) const {
  if (patterns_.empty()) return true;
  const std::string_view stored = WithoutTrailingSeparator(path);
  const std::string_view storedName = stored.substr(FileNameStart(stored));
  for (const std::string& p : patterns_) {
    if (MatchesEverything(p)) return true;
    const std::string_view pattern = p;
    const bool wholePath =
        scope_ == MatchScope::kWholePath || (scope_ == MatchScope::kByPattern && HasSeparator(pattern));
    if (wholePath) {
      if (MatchWildcard(pattern, stored)) return true;
    } else if (MatchWildcard(pattern.substr(FileNameStart(pattern)), storedName)) {
      return true;
    }
  }
  return false;
}

MemberSearch::MemberSearch(std::vector<MemberLocation> members, std::optional<LzhError> brokenAfter)
    : members_(std::move(members)), brokenAfter_(std::move(brokenAfter)) {}

const MemberLocation* MemberSearch::Start(std::string_view patterns, MatchScope scope) {
  patterns_.emplace(patterns, scope);
  next_ = 0;
  current_ = nullptr;
  foundOriginal_ = 0;
  foundPacked_ = 0;
  return Next();
}

const MemberLocation* MemberSearch::Next() {
  current_ = nullptr;
  if (!patterns_) return nullptr;
  while (next_ < members_.size()) {
    const MemberLocation& m = members_[next_++];
    if (patterns_->Matches(m.header.name)) {
      current_ = &m;
      foundOriginal_ += m.header.originalSize;
      foundPacked_ += m.header.compressedSize;
      return current_;
    }
  }
  if (brokenAfter_) throw *brokenAfter_;
  return nullptr;
}

}  // namespace kb::lzh
