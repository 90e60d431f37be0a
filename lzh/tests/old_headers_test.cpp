// Headers of the other systems' archivers: level 3, the extensions of Unix,
// OS/2, the Mac and the Amiga, level-0 Unix areas, and the OS-9/68k
// writer's short header size.
#include <gtest/gtest.h>

#include "lzh/archive.h"
#include "lzh/status.h"
#include "lzh/tests/old_formats.h"

namespace kb::lzh {
namespace {

using testing::Bytes;
using testing::Extension;
using testing::OldMember;

OldMember Stored(int level, const std::string& name = "note.txt") {
  OldMember m;
  m.level = level;
  m.name = name;
  m.original = {'o', 'l', 'd'};
  m.packed = m.original;
  m.stamp = 1600000000;
  m.os = 'U';
  return m;
}

std::vector<MemberLocation> Read(const Bytes& archive) {
  MemoryArchive file(archive);
  return ReadDirectory(file);
}

// What the other systems add: every one skipped or read, none refused.
const std::vector<Extension> kForeignExtensions = {
    {0x3F, {'a', ' ', 'c', 'o', 'm', 'm', 'e', 'n', 't'}},  // comment
    {0x50, {0xED, 0x81}},                                   // Unix mode 0100755
    {0x51, {0xE8, 0x03, 0xE8, 0x03}},                       // gid, uid
    {0x52, {'s', 't', 'a', 'f', 'f'}},                      // group name
    {0x53, {'k', 'o', 'b', 'a'}},                           // user name
    {0x54, {0x00, 0xE1, 0xF5, 0x05}},                       // Unix time 100000000
    {0x7F, Bytes(16, 0x11)},                                // OS/2-style attributes
    {0xFF, Bytes(20, 0x22)},                                // OS/2 extended attributes
    {0x0A, Bytes(40, 0x33)},                                // Mac / Amiga data
    {0x43, {0x00, 0x00}},                                   // time zone
};

TEST(OtherSystemsHeaders, ForeignExtensionsAtLevels1To3) {
  for (int level = 1; level <= 3; ++level) {
    OldMember m = Stored(level);
    m.extensions = kForeignExtensions;
    m.extensions.push_back({0x02, {'s', 'r', 'c', 0xFF, 'l', 'i', 'b', 0xFF}});
    Bytes archive = testing::OldArchive({m, Stored(level, "second.txt")});
    std::vector<MemberLocation> read = Read(archive);
    ASSERT_EQ(read.size(), 2u) << "level " << level;
    const MemberHeader& h = read[0].header;
    EXPECT_EQ(h.name, "src\\lib\\note.txt") << "level " << level;
    EXPECT_EQ(h.unixMode, 0100755) << "level " << level;
    EXPECT_TRUE(h.stampIsUnix);
    EXPECT_EQ(h.stamp, 100000000u) << "level " << level;
    EXPECT_EQ(h.compressedSize, 3u) << "level " << level;
    EXPECT_EQ(read[1].header.name, "second.txt");
  }
}

TEST(OtherSystemsHeaders, LevelThreeLayout) {
  OldMember m = Stored(3);
  Bytes archive = testing::OldArchive({m});
  EXPECT_EQ(archive[0], 4) << "level 3 begins with its word size";
  std::vector<MemberLocation> read = Read(archive);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].header.level, 3);
  EXPECT_EQ(read[0].header.stamp, 1600000000u);
  EXPECT_EQ(read[0].header.os, 'U');
  EXPECT_EQ(read[0].dataOffset + 3 + 1, archive.size());

  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
  } cases[] = {
      {"a word size of 2", 0, 2},
      {"a header size past the end of the file", 26, 0x40},
      {"an extension size past the header", 28, 0x70},
      {"a name byte (header CRC)", 40, 'X'},
  };
  for (const Case& c : cases) {
    Bytes bad = archive;
    bad[c.at] = c.value;
    EXPECT_THROW(Read(bad), LzhError) << c.what;
  }
}

// OS-9/68k counts a level-2 header's size without its own two bytes.
TEST(OtherSystemsHeaders, Os9LevelTwoSizeTwoShort) {
  OldMember m = Stored(2);
  m.os = 'K';
  m.headerCrc = false;
  Bytes archive = testing::OldArchive({m, Stored(2, "next.txt")});
  archive[0] = static_cast<std::uint8_t>(archive[0] - 2);
  std::vector<MemberLocation> read = Read(archive);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].header.name, "note.txt");
  EXPECT_EQ(read[0].header.compressedSize, 3u);
  EXPECT_EQ(read[1].header.name, "next.txt");
  MemoryArchive file(archive);
  std::string out;
  UnpackMember(file, read[0], [&](const std::uint8_t* p, std::size_t n) { out.append(p, p + n); });
  EXPECT_EQ(out, "old");

  // One byte short, or three, has no such reading.
  for (int shortBy : {1, 3}) {
    Bytes bad = testing::OldArchive({m});
    bad[0] = static_cast<std::uint8_t>(bad[0] - shortBy);
    try {
      Read(bad);
      ADD_FAILURE() << shortBy;
    } catch (const LzhError& e) {
      EXPECT_EQ(e.status(), Status::kBrokenHeader) << shortBy;
    }
  }
}

TEST(OtherSystemsHeaders, LevelZeroUnixAreaAndSlashes) {
  OldMember m = Stored(0, "usr/doc/readme");
  // 'U', 0, Unix time, mode 0100644, uid, gid.
  m.extensions = {{0, {'U', 0, 0x00, 0xE1, 0xF5, 0x05, 0xA4, 0x81, 0xE8, 0x03, 0x64, 0x00}}};
  OldMember dos = Stored(0, "DIR\\FILE.TXT");
  std::vector<MemberLocation> read = Read(testing::OldArchive({m, dos}));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].header.name, "usr\\doc\\readme");
  EXPECT_TRUE(read[0].header.stampIsUnix);
  EXPECT_EQ(read[0].header.stamp, 100000000u);
  EXPECT_EQ(read[0].header.unixMode, 0100644);
  EXPECT_EQ(read[1].header.name, "DIR\\FILE.TXT");
  EXPECT_FALSE(read[1].header.stampIsUnix);
  EXPECT_FALSE(read[1].header.unixMode.has_value());
}

}  // namespace
}  // namespace kb::lzh
