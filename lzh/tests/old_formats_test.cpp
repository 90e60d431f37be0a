// Reading what older archivers wrote: every method at every header level,
// the systems' own extensions, the writers' quirks, damaged streams of the
// older methods, and a member of a method nobody here knows.
#include <gtest/gtest.h>

#include "lzh/archive.h"
#include "lzh/decoder.h"
#include "lzh/lh5_encoder.h"
#include "lzh/status.h"
#include "lzh/tests/old_formats.h"
#include "lzh/tests/sample_data.h"

namespace kb::lzh {
namespace {

using testing::Bytes;
using testing::Kind;
using testing::OldMember;
using testing::Sample;

Bytes PackLh5(const Bytes& data) {
  MemoryOutput out;
  Lh5Encoder encoder(out);
  encoder.Write(data.data(), data.size());
  encoder.Finish();
  return out.bytes();
}

struct Method {
  const char* name;
  Bytes (*pack)(const Bytes&);
};
Bytes Stored(const Bytes& data) { return data; }
// Blocks of three tokens, tables written out in full and changing every
// block: each block builds all its tables anew.
Bytes FullTables(const Bytes& data) { return testing::EncodeLh5FullTables(data, 3, true); }
const Method kMethods[] = {
    {"-lh0-", Stored}, {"-lz4-", Stored}, {"-pm0-", Stored}, {"-lzs-", testing::EncodeLzs},
    {"-lz5-", testing::EncodeLz5}, {"-lh1-", testing::EncodeLh1}, {"-lh5-", PackLh5},
    {"-lh5-", FullTables},
};

Bytes Unpack(ArchiveFile& file, const MemberLocation& m) {
  Bytes out;
  UnpackMember(file, m, [&](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); });
  return out;
}

std::vector<Bytes> Samples() {
  return {{},
          {'a'},
          Sample(Kind::kText, 30000, 1),
          Sample(Kind::kRuns, 20000, 2),
          // Random bytes: more than 0x8000 codes, so -lh1-'s tree is rebuilt.
          Sample(Kind::kRandom, 70000, 3),
          Sample(Kind::kMixed, 120000, 4),
          // Long runs of one byte reach far into the window and the ring.
          Bytes(9000, 0),
          Bytes(5000, ' ')};
}

TEST(OldMethods, EveryMethodAtEveryHeaderLevelUnpacks) {
  const std::vector<Bytes> samples = Samples();
  for (const Method& method : kMethods) {
    std::vector<OldMember> members;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      OldMember m;
      m.method = method.name;
      m.name = "f" + std::to_string(i) + ".bin";
      m.original = samples[i];
      m.packed = method.pack(samples[i]);
      members.push_back(m);
    }
    for (int level = 0; level <= 3; ++level) {
      for (OldMember& m : members) m.level = level;
      Bytes archive = testing::OldArchive(members);
      MemoryArchive file(archive);
      std::vector<MemberLocation> read = ReadDirectory(file);
      ASSERT_EQ(read.size(), samples.size()) << method.name << " level " << level;
      for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(std::string(method.name) + " level " + std::to_string(level) + " sample " + std::to_string(i));
        EXPECT_EQ(read[i].header.level, level);
        EXPECT_EQ(read[i].header.name, members[i].name);
        EXPECT_EQ(read[i].header.compressedSize, members[i].packed.size());
        EXPECT_TRUE(Unpack(file, read[i]) == samples[i]);
      }
    }
  }
}

TEST(OldMethods, DamagedStreamsFailCleanly) {
  const Bytes data = Sample(Kind::kMixed, 40000, 9);
  for (const Method& method : kMethods) {
    Bytes packed = method.pack(data);
    for (int damage = 0; damage < 3; ++damage) {
      OldMember m;
      m.method = method.name;
      m.original = data;
      m.packed = packed;
      if (damage == 0) m.packed.resize(packed.size() / 2);                 // cut short
      if (damage == 1) m.packed[packed.size() / 3] ^= 0x5A;                // a changed byte
      if (damage == 2) std::fill(m.packed.begin() + 10, m.packed.end(), 0xFF);  // garbage
      Bytes archive = testing::OldArchive({m});
      MemoryArchive file(archive);
      std::vector<MemberLocation> read = ReadDirectory(file);
      ASSERT_EQ(read.size(), 1u);
      try {
        Unpack(file, read[0]);
        ADD_FAILURE() << method.name << " damage " << damage << " went unnoticed";
      } catch (const LzhError& e) {
        EXPECT_TRUE(e.status() == Status::kBrokenData || e.status() == Status::kFileCrc)
            << method.name << " damage " << damage << ": " << e.what();
      }
    }
  }
}

// Full tables in blocks of every size, fixed or changing (whatever the
// decoder keeps of a block's tables must never leak into the next), in
// members around one of this library's own one-symbol blocks.
TEST(OldMethods, FullTablesInBlocksOfAnySizeUnpack) {
  const Bytes data = Sample(Kind::kMixed, 60000, 21);
  for (int tokens : {1, 2, 5, 64, 4000}) {
    for (bool changing : {false, true}) {
      SCOPED_TRACE(std::to_string(tokens) + (changing ? " changing" : " fixed"));
      std::vector<OldMember> members;
      for (const Bytes& part : {data, Bytes(3000, 0), data}) {
        OldMember m;
        m.method = "-lh5-";
        m.original = part;
        m.packed = part.size() == 3000 ? PackLh5(part) : testing::EncodeLh5FullTables(part, tokens, changing);
        members.push_back(m);
      }
      Bytes archive = testing::OldArchive(members);
      MemoryArchive file(archive);
      std::vector<MemberLocation> read = ReadDirectory(file);
      ASSERT_EQ(read.size(), members.size());
      for (std::size_t i = 0; i < read.size(); ++i) EXPECT_TRUE(Unpack(file, read[i]) == members[i].original) << i;
    }
  }
}

TEST(OldMethods, AnUnknownMethodFailsOnlyItsOwnMember) {
  OldMember unknown;
  unknown.method = "-ah9-";
  unknown.original = {1, 2, 3};
  unknown.packed = {9, 9};
  OldMember known;
  known.method = "-lh1-";
  known.original = Sample(Kind::kText, 1000, 5);
  known.packed = testing::EncodeLh1(known.original);
  Bytes archive = testing::OldArchive({unknown, known});
  MemoryArchive file(archive);
  std::vector<MemberLocation> read = ReadDirectory(file);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_FALSE(IsKnownMethod("-ah9-"));
  try {
    Unpack(file, read[0]);
    ADD_FAILURE() << "an unknown method unpacked";
  } catch (const LzhError& e) {
    EXPECT_EQ(e.status(), Status::kMethod);
    EXPECT_NE(std::string(e.what()).find("-ah9-"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(Unpack(file, read[1]) == known.original);
}

}  // namespace
}  // namespace kb::lzh
