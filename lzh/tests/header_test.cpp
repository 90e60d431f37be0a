// Member headers: the level-2 layout the readers expect, the zero-byte
// pitfall, Shift-JIS names, checksums, and reading levels 0 and 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "lzh/archive.h"
#include "lzh/crc16.h"
#include "lzh/header.h"
#include "lzh/status.h"
#include "lzh/times.h"

namespace kb::lzh {
namespace {

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

MemberHeader Sample() {
  MemberHeader h;
  h.method = "-lh5-";
  h.compressedSize = 0x01020304;
  h.originalSize = 0x0A0B0C0D;
  h.stamp = 1700000000;
  h.crc = 0xBEEF;
  h.name = "data.dat";
  h.attributes = 0x21;
  h.times = FileTimes{1, 2, 3};
  return h;
}

TEST(Level2Header, FieldsSitWhereReadersLookForThem) {
  std::vector<std::uint8_t> b = WriteLevel2Header(Sample());
  EXPECT_EQ(Le(b, 0, 2), b.size());
  EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 7), "-lh5-");
  EXPECT_EQ(Le(b, 7, 4), 0x01020304u);
  EXPECT_EQ(Le(b, 11, 4), 0x0A0B0C0Du);
  EXPECT_EQ(Le(b, 15, 4), 1700000000u);
  EXPECT_EQ(b[19], 0x20);
  EXPECT_EQ(b[20], 2);
  EXPECT_EQ(Le(b, 21, 2), 0xBEEFu);
  EXPECT_EQ(b[23], 'W');
  EXPECT_EQ(Le(b, b.size() - 2, 2), 0u) << "the extensions end with a zero size";
  // The header CRC extension comes first; its CRC covers the header with
  // the field itself zero.
  ASSERT_EQ(b[26], 0x00);
  std::uint16_t stored = static_cast<std::uint16_t>(Le(b, 27, 2));
  b[27] = b[28] = 0;
  EXPECT_EQ(UpdateCrc16(0, b.data(), b.size()), stored);
}

TEST(Level2Header, ReadsBackWhatWasWritten) {
  MemberHeader h = Sample();
  h.compressedSize = 3;
  std::vector<std::uint8_t> b = WriteLevel2Header(h);
  b.insert(b.end(), {1, 2, 3, 0});
  MemoryArchive file(b);
  std::vector<MemberLocation> members = ReadDirectory(file);
  ASSERT_EQ(members.size(), 1u);
  const MemberHeader& r = members[0].header;
  EXPECT_EQ(r.method, h.method);
  EXPECT_EQ(r.originalSize, h.originalSize);
  EXPECT_EQ(r.stamp, h.stamp);
  EXPECT_TRUE(r.stampIsUnix);
  EXPECT_EQ(r.crc, h.crc);
  EXPECT_EQ(r.name, h.name);
  EXPECT_EQ(r.attributes, h.attributes);
  ASSERT_TRUE(r.times.has_value());
  EXPECT_EQ(r.times->lastAccess, 3u);
  EXPECT_EQ(members[0].dataOffset, b.size() - 4);
}

// A header of 256, 512 … bytes would begin with a zero byte, the end mark.
TEST(Level2Header, NoHeaderStartsWithAZeroByte) {
  for (bool extras : {false, true}) {
    for (std::size_t n = 1; n < 600; ++n) {
      MemberHeader h = Sample();
      h.name.assign(n, 'n');
      if (!extras) {
        h.attributes.reset();
        h.times.reset();
      }
      std::vector<std::uint8_t> b = WriteLevel2Header(h);
      ASSERT_NE(b[0], 0) << "name of " << n << " bytes";
      h.compressedSize = 0;
      b = WriteLevel2Header(h);
      b.push_back(0);
      MemoryArchive file(b);
      ASSERT_EQ(ReadDirectory(file).at(0).header.name, h.name) << n;
    }
  }
}

TEST(Level2Header, ShiftJisNamesAreStoredAsTheyAre) {
  for (std::string name : {"表示.txt", "ソフト\\.dat", "ﾃｽﾄ.ini"}) {
    MemberHeader h = Sample();
    h.compressedSize = 0;
    h.name = name;
    std::vector<std::uint8_t> b = WriteLevel2Header(h);
    std::string bytes(b.begin(), b.end());
    EXPECT_NE(bytes.find(name), std::string::npos);
    b.push_back(0);
    MemoryArchive file(b);
    EXPECT_EQ(ReadDirectory(file).at(0).header.name, name);
  }
  EXPECT_EQ(std::string("表"), "\x95\x5C") << "the sources are compiled to Shift-JIS";
}

TEST(ArchiveReading, RefusesDamagedHeaders) {
  MemberHeader h = Sample();
  h.compressedSize = 2;
  std::vector<std::uint8_t> good = WriteLevel2Header(h);
  good.insert(good.end(), {7, 7, 0});
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
    Status expected;
  } cases[] = {
      {"a changed byte inside the header fails its CRC", good.size() - 8, 'X', Status::kHeaderCrc},
      {"not an archive at all", 2, 'x', Status::kNotArchive},
      {"an unknown header level", 20, 9, Status::kNotArchive},
      {"level 3 with a level-2 size where its word size belongs", 20, 3, Status::kBrokenHeader},
      {"garbage after the first member", good.size() - 1, 'x', Status::kBrokenHeader},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    bad[c.at] = c.value;
    MemoryArchive file(bad);
    try {
      ReadDirectory(file);
      ADD_FAILURE() << c.what;
    } catch (const LzhError& e) {
      EXPECT_EQ(e.status(), c.expected) << c.what << ": " << e.what();
    }
  }
  std::vector<std::uint8_t> cut(good.begin(), good.begin() + 20);
  MemoryArchive file(cut);
  EXPECT_THROW(ReadDirectory(file), LzhError);
  // Data running past the end of the file (a cut-off archive).
  h.compressedSize = 100;
  std::vector<std::uint8_t> shortData = WriteLevel2Header(h);
  shortData.insert(shortData.end(), {7, 7, 0});
  MemoryArchive truncated(shortData);
  try {
    ReadDirectory(truncated);
    ADD_FAILURE() << "a member past the end of the file";
  } catch (const LzhError& e) {
    EXPECT_EQ(e.status(), Status::kBrokenHeader) << e.what();
  }
}

// Levels 0 and 1 as older archivers write them: byte checksum, MS-DOS time;
// level 1 with a folder extension outside the base header.
std::vector<std::uint8_t> OldHeader(int level, const std::string& name, std::uint32_t dosTime,
                                    const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> folderExt = {0x02, 'd', 'i', 'r', 0xFF, 0, 0};
  std::uint32_t extra = level == 1 ? static_cast<std::uint32_t>(folderExt.size()) : 0;
  std::vector<std::uint8_t> b = {0, 0, '-', 'l', 'h', '0', '-'};
  for (std::uint32_t v : {static_cast<std::uint32_t>(data.size()) + extra, static_cast<std::uint32_t>(data.size()), dosTime}) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  b.push_back(level == 1 ? 0x20 : 0x01);
  b.push_back(static_cast<std::uint8_t>(level));
  b.push_back(static_cast<std::uint8_t>(name.size()));
  b.insert(b.end(), name.begin(), name.end());
  std::uint16_t crc = UpdateCrc16(0, data.data(), data.size());
  b.push_back(static_cast<std::uint8_t>(crc));
  b.push_back(static_cast<std::uint8_t>(crc >> 8));
  if (level == 1) b.insert(b.end(), {'M', static_cast<std::uint8_t>(folderExt.size()), 0});
  b[0] = static_cast<std::uint8_t>(b.size() - 2);
  unsigned sum = 0;
  for (std::size_t i = 2; i < b.size(); ++i) sum += b[i];
  b[1] = static_cast<std::uint8_t>(sum);
  if (level == 1) b.insert(b.end(), folderExt.begin(), folderExt.end());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST(ArchiveReading, ReadsAndUnpacksLevels0And1) {
  const std::uint32_t dos = (18u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  std::vector<std::uint8_t> data = {'h', 'e', 'l', 'l', 'o'};
  std::vector<std::uint8_t> archive = OldHeader(0, "OLD.TXT", dos, data);
  std::vector<std::uint8_t> level1 = OldHeader(1, "new.txt", dos, data);
  archive.insert(archive.end(), level1.begin(), level1.end());
  archive.push_back(0);
  MemoryArchive file(archive);
  std::vector<MemberLocation> members = ReadDirectory(file);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].header.name, "OLD.TXT");
  EXPECT_EQ(members[1].header.name, "dir\\new.txt");
  for (const MemberLocation& m : members) {
    EXPECT_FALSE(m.header.stampIsUnix);
    CivilTime t = CivilFromDosTime(m.header.stamp);
    EXPECT_EQ(t.year, 1998);
    EXPECT_EQ(t.second, 58);
    std::string out;
    UnpackMember(file, m, [&](const std::uint8_t* p, std::size_t n) { out.append(reinterpret_cast<const char*>(p), n); });
    EXPECT_EQ(out, "hello");
  }
  // A level-0 header too short for its own fixed fields (found by fuzzing).
  std::vector<std::uint8_t> tiny(40, 0);
  tiny[0] = 15;
  std::copy_n("-lh5-", 5, tiny.begin() + 2);
  MemoryArchive tinyFile(tiny);
  EXPECT_THROW(ReadDirectory(tinyFile), LzhError);

  archive[2 + 20] ^= 1;  // checksum no longer matches the bytes
  MemoryArchive damaged(archive);
  EXPECT_THROW(ReadDirectory(damaged), LzhError);
}

TEST(Times, UnixAndFileTimesAsCalendarTimes) {
  CivilTime t = CivilFromUnix(915148799);  // the last second of 1998
  EXPECT_EQ(t.year, 1998);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 59);
  t = CivilFromUnix(951782400);  // a leap day
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  const std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
  EXPECT_EQ(UnixFromFileTime(kUnixEpochAsFileTime + 10'000'000ull * 915148799), 915148799u);
  EXPECT_EQ(UnixFromFileTime(1), 0u);
  EXPECT_EQ(UnixFromFileTime(~0ull), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kb::lzh
