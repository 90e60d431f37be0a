// Packing and unpacking whole members in memory: every kind of data and the
// sizes around the window and block limits come back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "lzh/archive.h"
#include "lzh/status.h"
#include "lzh/tests/sample_data.h"

namespace kb::lzh {
namespace {

using testing::Kind;
using testing::Sample;

// Hands the data over in pieces of random size (down to 1 byte), so the
// coder's buffer fills and slides at every possible place.
class ChoppyInput : public InputFile {
 public:
  ChoppyInput(std::vector<std::uint8_t> data, std::uint32_t seed) : data_(std::move(data)), rng_(seed) {}
  std::size_t Read(std::uint8_t* out, std::size_t size) override {
    std::size_t n = std::min({size, data_.size() - pos_, static_cast<std::size_t>(1 + rng_() % 70000)});
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out);
    pos_ += n;
    return n;
  }
  void Rewind() override { pos_ = 0; }

 private:
  std::vector<std::uint8_t> data_;
  std::mt19937 rng_;
  std::size_t pos_ = 0;
};

struct Packed {
  std::vector<std::uint8_t> archive;
  MemberHeader header;
};

Packed Pack(const std::vector<std::uint8_t>& data, std::uint32_t seed = 1) {
  MemoryOutput out;
  ArchiveWriter writer(out);
  ChoppyInput input(data, seed);
  Packed p;
  p.header = writer.AddMember(input, NewMember{"member.bin", 1700000000, {}, {}});
  writer.Finish();
  p.archive = out.bytes();
  return p;
}

std::vector<std::uint8_t> UnpackOnly(const std::vector<std::uint8_t>& archive) {
  MemoryArchive file(archive);
  std::vector<MemberLocation> members = ReadDirectory(file);
  EXPECT_EQ(members.size(), 1u);
  std::vector<std::uint8_t> data;
  UnpackMember(file, members.at(0), [&](const std::uint8_t* p, std::size_t n) { data.insert(data.end(), p, p + n); });
  return data;
}

TEST(RoundTrip, EdgeSizesOfEveryKind) {
  const std::size_t sizes[] = {0, 1, 2, 3, 255, 256, 257, 8191, 8192, 8193, 65535, 65536, 300000};
  for (Kind kind : {Kind::kText, Kind::kBinary, Kind::kRuns, Kind::kRandom}) {
    for (std::size_t size : sizes) {
      std::vector<std::uint8_t> data = Sample(kind, size, static_cast<std::uint32_t>(size));
      Packed p = Pack(data);
      ASSERT_EQ(UnpackOnly(p.archive), data) << "kind " << static_cast<int>(kind) << " size " << size;
      EXPECT_LE(p.header.compressedSize, std::max<std::uint64_t>(size, 0));
    }
  }
}

TEST(RoundTrip, RandomisedMixedDataUpToSeveralMebibytes) {
  std::mt19937 rng(20240101);
  for (int round = 0; round < 12; ++round) {
    std::size_t size = round < 2 ? (3u << 20) + rng() % 1000 : rng() % (600 * 1024);
    std::uint32_t seed = static_cast<std::uint32_t>(rng());
    std::vector<std::uint8_t> data = Sample(Kind::kMixed, size, seed);
    ASSERT_EQ(UnpackOnly(Pack(data, seed).archive), data) << "size " << size << " seed " << seed;
  }
}

TEST(RoundTrip, MethodFollowsWhetherTheDataShrinks) {
  struct Case {
    Kind kind;
    std::size_t size;
    const char* method;
  } cases[] = {
      {Kind::kText, 0, "-lh0-"},        // empty
      {Kind::kText, 1, "-lh0-"},        // one byte cannot shrink
      {Kind::kRandom, 100000, "-lh0-"}, // random data grows when packed
      {Kind::kText, 100000, "-lh5-"},
      {Kind::kRuns, 8192, "-lh5-"},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> data = Sample(c.kind, c.size, 5);
    Packed p = Pack(data);
    EXPECT_EQ(p.header.method, c.method) << c.size;
    EXPECT_EQ(p.header.originalSize, c.size);
    if (p.header.method == std::string("-lh0-")) {
      EXPECT_EQ(p.header.compressedSize, c.size);
    }
  }
  // Zeros pack into about one bit per longest match (256 bytes).
  EXPECT_LT(Pack(std::vector<std::uint8_t>(1 << 20, 0)).header.compressedSize, (1u << 20) / 2048 + 64);
}

TEST(RoundTrip, DamagedDataIsRefusedWithoutCrashing) {
  std::vector<std::uint8_t> data = Sample(Kind::kMixed, 200000, 9);
  Packed p = Pack(data);
  ASSERT_EQ(p.header.method, "-lh5-");
  const std::size_t dataStart = p.archive.size() - 1 - p.header.compressedSize;
  std::mt19937 rng(11);
  for (int i = 0; i < 60; ++i) {
    std::vector<std::uint8_t> bad = p.archive;
    // Not the last byte: its padding bits carry nothing.
    std::size_t at = dataStart + rng() % (p.header.compressedSize - 1);
    bad[at] ^= static_cast<std::uint8_t>(1 + rng() % 255);
    MemoryArchive file(bad);
    std::vector<MemberLocation> members = ReadDirectory(file);
    try {
      UnpackMember(file, members.at(0), [](const std::uint8_t*, std::size_t) {});
      ADD_FAILURE() << "damage at " << at << " went unnoticed";
    } catch (const LzhError& e) {
      EXPECT_TRUE(e.status() == Status::kBrokenData || e.status() == Status::kFileCrc) << e.what();
    }
  }
}

TEST(RoundTrip, AMemberThatCannotBeReadLeavesTheArchiveAsItWas) {
  class FailingInput : public InputFile {
   public:
    std::size_t Read(std::uint8_t* out, std::size_t size) override {
      if (++calls_ > 3) throw LzhError(Status::kFileOpen, "cannot be read");
      std::fill_n(out, std::min<std::size_t>(size, 1000), 'x');
      return std::min<std::size_t>(size, 1000);
    }
    void Rewind() override {}

   private:
    int calls_ = 0;
  };
  MemoryOutput out;
  ArchiveWriter writer(out);
  MemoryInput good(Sample(Kind::kText, 5000, 1));
  writer.AddMember(good, NewMember{"good.txt", 0, {}, {}});
  FailingInput failing;
  EXPECT_THROW(writer.AddMember(failing, NewMember{"bad.txt", 0, {}, {}}), LzhError);
  writer.Finish();
  MemoryArchive file(out.bytes());
  std::vector<MemberLocation> members = ReadDirectory(file);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].header.name, "good.txt");
  EXPECT_EQ(members[0].end() + 1, out.bytes().size());
}

}  // namespace
}  // namespace kb::lzh
