// What the handle functions report per member, and the search behind
// FindFirst / FindNext.
#include "lzh/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kb::lzh {
namespace {

TEST(ListingTest, RatioIsInThousandthsRounded) {
  struct Case {
    std::uint64_t packed, original;
    std::uint16_t perMille;
  } cases[] = {
      {0, 0, 0},       {5, 0, 0},          {1, 3, 333},       {2, 3, 667},      {1, 2000, 1},  // 0.5 up
      {1, 2001, 0},    {100, 100, 1000},   {150, 100, 1500},  {99, 1, 0xFFFE},  {0, 10, 0},
      {0xFFFFFFFFull, 0xFFFFFFFFull, 1000}, {1ull << 62, 1ull << 62, 1000},
  };
  for (const Case& c : cases) EXPECT_EQ(RatioPerMille(c.packed, c.original), c.perMille) << c.packed << "/" << c.original;
}

TEST(ListingTest, DosTimesHoldWithinTheirRange) {
  struct Case {
    CivilTime in;
    CivilTime back;  // what the MS-DOS form says
  } cases[] = {
      {{2026, 12, 8, 23, 59, 59}, {2026, 12, 8, 23, 59, 58}},  // two-second steps
      {{1980, 1, 1, 0, 0, 0}, {1980, 1, 1, 0, 0, 0}},
      {{1979, 12, 31, 23, 59, 59}, {1980, 1, 1, 0, 0, 0}},
      {{2107, 12, 31, 23, 59, 59}, {2107, 12, 31, 23, 59, 58}},
      {{2108, 1, 1, 0, 0, 0}, {2107, 12, 31, 23, 59, 58}},
  };
  for (const Case& c : cases) {
    DosDateTime d = DosFromCivil(c.in);
    CivilTime t = CivilFromDosTime(static_cast<std::uint32_t>(d.date) << 16 | d.time);
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.hour, t.minute, t.second}),
              std::vector<int>({c.back.year, c.back.month, c.back.day, c.back.hour, c.back.minute, c.back.second}))
        << c.in.year;
  }
}

TEST(ListingTest, MemberTimeIsLocalDosTime) {
  MemberHeader dos;
  dos.stampIsUnix = false;
  dos.stamp = 0x5A8C7BDDu;
  int calls = 0;
  auto local = [&](std::uint32_t t) {
    ++calls;
    return CivilFromUnix(static_cast<std::int64_t>(t) + 9 * 3600);  // a zone nine hours east
  };
  DosDateTime d = MemberDosTime(dos, local);
  EXPECT_EQ(static_cast<std::uint32_t>(d.date) << 16 | d.time, dos.stamp) << "an MS-DOS stamp is given as it is";
  EXPECT_EQ(calls, 0);

  MemberHeader unix;
  unix.stamp = 1'000'000'000;  // 2001-09-09 01:46:40 UTC
  d = MemberDosTime(unix, local);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(d.date, (2001 - 1980) << 9 | 9 << 5 | 9);
  EXPECT_EQ(d.time, 10 << 11 | 46 << 5 | 20);
  EXPECT_EQ(UnixFromFileTime(FileTimeFromUnix(unix.stamp)), unix.stamp);
}

TEST(ListingTest, AttributesOfFilesFoldersAndLinks) {
  struct Case {
    std::string method;
    std::optional<std::uint16_t> stored;
    std::optional<std::uint16_t> unixMode;
    std::string text;
  } cases[] = {
      {"-lh5-", std::nullopt, std::nullopt, "-----"},
      {"-lh5-", 0x21, std::nullopt, "r---a"},
      {"-lh0-", 0x27, std::nullopt, "rhs-a"},
      {"-lh0-", 0xFF08, std::nullopt, "-----"},  // a volume label bit and bits of nothing are not reported
      {"-lhd-", std::nullopt, std::nullopt, "---d-"},
      {"-lhd-", 0x10, 040755, "---d-"},
      {"-lhd-", std::nullopt, 0120777, "-----"},  // a symbolic link is no folder
  };
  for (const Case& c : cases) {
    MemberHeader h;
    h.method = c.method;
    h.attributes = c.stored;
    h.unixMode = c.unixMode;
    EXPECT_EQ(AttributeText(MemberAttributes(h)), c.text) << c.method;
  }
}

TEST(ListingTest, SystemNumbersAreTheFamilys) {
  struct Case {
    char id;
    int number;
  } cases[] = {{'M', 0}, {'U', 2}, {'2', 5}, {'H', 14}, {'W', 18}, {'w', 19}, {'J', 10}, {'\0', 10}};
  for (const Case& c : cases) EXPECT_EQ(OsTypeNumber(static_cast<std::uint8_t>(c.id)), c.number) << c.id;
}

TEST(ListingTest, WildcardsWalkShiftJisCharacters) {
  struct Case {
    std::string pattern, path;
    bool match;
  } cases[] = {
      {"*", "KBINI.dat", true},
      {"*.dat", "KBINI.DAT", true},
      {"*.dat", "KBINI.data", false},
      {"kbini.*", "KBINI.dat", true},
      {"*.*", "README", true},
      {"?", "表", true},  // one double-byte character is one "?"
      {"??", "表", false},
      {"表*", "表示.txt", true},
      {"*示.txt", "表示.txt", true},
      {"*\\*.txt", "表\\a.txt", true},  // the trail byte 0x5C of 表 is no separator
      {"表\\*", "表\\a.txt", true},
      {"*", "表\\a.txt", false},  // a star does not cross a folder
      {"dir/*.txt", "DIR\\x.txt", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"*a", "aaa", true},
      {"ﾃﾞｰﾀ", "ﾃﾞｰﾀ", true},
      {"ａ", "Ａ", false},  // full-width letters have no case
      {"", "", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchWildcard(c.pattern, c.path), c.match) << c.pattern << " / " << c.path;
}

TEST(ListingTest, PatternsChooseTheirScope) {
  struct Case {
    std::string patterns;
    MatchScope scope;
    std::string path;
    bool match;
  } cases[] = {
      {"", MatchScope::kByPattern, "any\\thing", true},
      {"*.*", MatchScope::kWholePath, "any\\thing", true},
      {"*.txt", MatchScope::kByPattern, "docs\\a.txt", true},  // no folder: the file name alone
      {"*.txt", MatchScope::kWholePath, "docs\\a.txt", false},
      {"docs\\*.txt", MatchScope::kByPattern, "docs\\a.txt", true},
      {"other\\*.txt", MatchScope::kByPattern, "docs\\a.txt", false},
      {"other\\*.txt", MatchScope::kFileNameOnly, "docs\\a.txt", true},
      {"docs", MatchScope::kByPattern, "docs\\", true},  // a folder member
      {"*.c *.txt", MatchScope::kByPattern, "a.txt", true},
      {"*.c *.h", MatchScope::kByPattern, "a.txt", false},
      {"\"my file.txt\"", MatchScope::kByPattern, "my file.txt", true},
      {"my file.txt", MatchScope::kByPattern, "my file.txt", false},
      {"\"\" *.x", MatchScope::kByPattern, "a.txt", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MemberPatterns(c.patterns, c.scope).Matches(c.path), c.match) << c.patterns << " / " << c.path;
  }
}

std::vector<MemberLocation> Members(const std::vector<std::pair<std::string, std::uint64_t>>& names) {
  std::vector<MemberLocation> members;
  for (const auto& [name, size] : names) {
    MemberLocation m;
    m.header.name = name;
    m.header.originalSize = size;
    m.header.compressedSize = size / 2;
    members.push_back(m);
  }
  return members;
}

std::vector<std::string> Walk(MemberSearch& search, const std::string& patterns) {
  std::vector<std::string> found;
  for (const MemberLocation* m = search.Start(patterns, MatchScope::kByPattern); m != nullptr; m = search.Next()) {
    found.push_back(m->header.name);
    EXPECT_EQ(search.current(), m);
  }
  EXPECT_EQ(search.current(), nullptr);
  EXPECT_EQ(search.Next(), nullptr) << "the end stays the end";
  return found;
}

TEST(ListingTest, SearchFindsInOrderAndTotalsWhatItFound) {
  MemberSearch search(Members({{"a.txt", 100}, {"b.dat", 40}, {"sub\\c.txt", 10}}), std::nullopt);
  EXPECT_FALSE(search.started());
  EXPECT_EQ(search.Next(), nullptr) << "no walk before Start";
  EXPECT_EQ(Walk(search, "*.txt"), (std::vector<std::string>{"a.txt", "sub\\c.txt"}));
  EXPECT_TRUE(search.started());
  EXPECT_EQ(search.foundOriginal(), 110u);
  EXPECT_EQ(search.foundPacked(), 55u);
  EXPECT_EQ(Walk(search, "*"), (std::vector<std::string>{"a.txt", "b.dat", "sub\\c.txt"})) << "a new walk";
  EXPECT_EQ(search.foundOriginal(), 150u);
  EXPECT_TRUE(Walk(search, "none").empty());
  EXPECT_EQ(search.foundOriginal(), 0u);
}

TEST(ListingTest, ABreakAfterTheMembersEndsTheWalkWithItsError) {
  MemberSearch search(Members({{"a.txt", 1}, {"b.txt", 2}}), LzhError(Status::kHeaderCrc, "bad"));
  ASSERT_NE(search.Start("b.txt", MatchScope::kByPattern), nullptr) << "a match before the break";
  for (int i = 0; i < 2; ++i) {
    try {
      search.Next();
      ADD_FAILURE() << "the walk reached the break";
    } catch (const LzhError& e) {
      EXPECT_EQ(e.status(), Status::kHeaderCrc);
    }
  }
  EXPECT_EQ(search.current(), nullptr);
}

}  // namespace
}  // namespace kb::lzh
