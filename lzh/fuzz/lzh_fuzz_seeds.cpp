// Writes small archives into the folder named on the command line: text,
// runs of zeros (one-symbol blocks), random bytes (stored), two members,
// the older methods at every header level, and -lh5- in tiny blocks of
// full tables.
#include <fstream>
#include <random>
#include <string>

#include "lzh/archive.h"
#include "lzh/tests/old_formats.h"

namespace {

using namespace kb::lzh;

void Save(const std::string& path, const std::vector<std::vector<std::uint8_t>>& members) {
  MemoryOutput out;
  ArchiveWriter writer(out);
  for (const auto& m : members) {
    MemoryInput input(m);
    writer.AddMember(input, NewMember{"seed.dat", 1700000000, 0x20, {}});
  }
  writer.Finish();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(out.bytes().data()), static_cast<std::streamsize>(out.bytes().size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1];
  std::mt19937 rng(1);
  std::string text;
  while (text.size() < 3000) text += "[Button" + std::to_string(rng() % 40) + "]\r\nShowName=x\r\n";
  std::vector<std::uint8_t> textBytes(text.begin(), text.end());
  std::vector<std::uint8_t> random(300);
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  Save(dir + "/text.lzh", {textBytes});
  Save(dir + "/zeros.lzh", {std::vector<std::uint8_t>(100000, 0)});
  Save(dir + "/random.lzh", {random});
  Save(dir + "/two.lzh", {textBytes, {}});
  using testing::OldMember;
  struct Old {
    const char* method;
    std::vector<std::uint8_t> (*pack)(const std::vector<std::uint8_t>&);
  } const olds[] = {{"-lzs-", testing::EncodeLzs}, {"-lz5-", testing::EncodeLz5}, {"-lh1-", testing::EncodeLh1}};
  std::vector<std::uint8_t> small(textBytes.begin(), textBytes.begin() + 600);
  for (const Old& o : olds) {
    for (int level = 0; level <= 3; ++level) {
      OldMember m;
      m.level = level;
      m.method = o.method;
      m.original = small;
      m.packed = o.pack(small);
      m.extensions = {{0x50, {0xA4, 0x81}}, {0x54, {1, 2, 3, 4}}};
      if (level == 0) m.extensions = {{0, {'U', 0, 1, 2, 3, 4, 0xA4, 0x81, 0, 0, 0, 0}}};
      std::vector<std::uint8_t> bytes = testing::OldArchive({m});
      std::ofstream(dir + "/" + std::string(o.method + 1, 3) + "_l" + std::to_string(level) + ".lzh", std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  // -lh5- as other writers cut it: blocks of a few tokens with every table
  // written out in full, fixed or changing from block to block.
  // About 330 bytes a block: a short text keeps the seed within the
  // fuzzer's input size.
  std::vector<std::uint8_t> tiny(small.begin(), small.begin() + 120);
  for (bool changing : {false, true}) {
    OldMember m;
    m.method = "-lh5-";
    m.original = tiny;
    m.packed = testing::EncodeLh5FullTables(tiny, 4, changing);
    std::vector<std::uint8_t> bytes = testing::OldArchive({m});
    std::ofstream(dir + "/lh5_full" + (changing ? "_changing" : "") + ".lzh", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
