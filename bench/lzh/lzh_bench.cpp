// Packing speed and size of the -lh5- coder on a 10 MiB mixed file (text,
// binaries, random bytes, zeros), against jlha -lh5- and gzip -6 run on the
// same file in the same run.  Prints figures; it is not a test.
//
//   lzh_bench [work folder]     (default: /tmp/kb_lzh_bench)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/lzh/bench_common.h"
#include "lzh/archive.h"

namespace fs = std::filesystem;
using namespace kb::lzh::bench;

int main(int argc, char** argv) {
  fs::path dir = argc > 1 ? argv[1] : "/tmp/kb_lzh_bench";
  fs::create_directories(dir);
  std::vector<std::uint8_t> sample = MixedSample();
  fs::path file = dir / "mixed.bin";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(sample.data()),
                                               static_cast<std::streamsize>(sample.size()));
  std::printf("sample: %zu bytes (text from /usr/include, binaries from /usr/bin, random, zeros)\n",
              sample.size());

  // Ours in memory: the whole member (CRC, header, -lh5- data); best of 3.
  double best = 1e30;
  std::size_t ours = 0;
  for (int run = 0; run < 3; ++run) {
    kb::lzh::MemoryInput input(sample);
    kb::lzh::MemoryOutput output;
    kb::lzh::ArchiveWriter writer(output);
    double start = NowMs();
    writer.AddMember(input, kb::lzh::NewMember{"mixed.bin", 0, {}, {}});
    writer.Finish();
    best = std::min(best, NowMs() - start);
    ours = output.bytes().size();
  }
  Row("ours -lh5- (in memory, best of 3)", best, ours, sample.size());

  std::string f = "'" + file.string() + "'";
  std::string d = "'" + dir.string() + "'";
#ifdef KB_LZH_PACK
  // The same through lzh_pack: a process reading and writing files, like gzip.
  double packMs = 1e30;
  for (int run = 0; run < 3; ++run) {
    fs::remove(dir / "mixed_ours.lzh");
    packMs = std::min(packMs, TimeCommand("cd " + d + " && " KB_LZH_PACK " a mixed_ours mixed.bin > /dev/null"));
  }
  Row("ours lzh_pack a (process, best of 3)", packMs, SizeOf(dir / "mixed_ours.lzh"), sample.size());
#endif
  double gzipMs = 1e30;
  for (int run = 0; run < 3; ++run) {
    gzipMs = std::min(gzipMs, TimeCommand("gzip -6 -c " + f + " > " + d + "/mixed.gz"));
  }
  Row("gzip -6 (process, best of 3)", gzipMs, SizeOf(dir / "mixed.gz"), sample.size());

  fs::remove(dir / "mixed.lzh");
  double jlhaMs = TimeCommand("cd " + d + " && jlha a mixed.lzh mixed.bin > /dev/null");
  if (jlhaMs < 0) {
    std::printf("jlha: not available (package jlha-utils)\n");
  } else {
    Row("jlha a -lh5- (process, one run)", jlhaMs, SizeOf(dir / "mixed.lzh"), sample.size());
    std::ofstream(dir / "tiny.txt") << "x";
    fs::remove(dir / "tiny.lzh");
    double startMs = TimeCommand("cd " + d + " && jlha a tiny.lzh tiny.txt > /dev/null");
    std::printf("jlha on a 1-byte file (its start-up): %.1f ms\n", startMs);
    std::printf("size against jlha: %+.2f %%\n",
                100.0 * (static_cast<double>(ours) / static_cast<double>(SizeOf(dir / "mixed.lzh")) - 1));
  }
  std::printf("speed against gzip -6: %.2f x\n", gzipMs / best);
  return 0;
}
