// Writes small archives into the folder named on the command line: text,
// runs of zeros (one-symbol blocks), random bytes (stored), two members.
#include <fstream>
#include <random>
#include <string>

#include "lzh/archive.h"

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
  return 0;
}
