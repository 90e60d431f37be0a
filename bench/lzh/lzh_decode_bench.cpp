// Unpacking speed against lhasa: 400 MiB of zeros written in blocks of a
// few tokens (as some other writers cut their streams) and in this
// library's own blocks, 100 MiB of zeros in tiny blocks whose tables are
// written out in full (and changed every block), and the 10 MiB mixed
// sample as -lh5- and in the older methods (-lh1-, -lzs-, -lz5-).  Each archive is
// tested by lzh_pack t and by lhasa t, processes both, best of 3, and
// unpacked in memory by the core alone.  Prints figures; it is not a test.
//
//   lzh_decode_bench [work folder]     (default: /tmp/kb_lzh_decode_bench)
#include <cstdio>
#include <string>
#include <vector>

#include "bench/lzh/bench_common.h"
#include "lzh/archive.h"
#include "lzh/crc16.h"
#include "lzh/header.h"
#include "lzh/lh5_encoder.h"
#include "lzh/lh5_format.h"
#include "lzh/tests/old_formats.h"

namespace fs = std::filesystem;
using namespace kb::lzh;
using namespace kb::lzh::bench;

namespace {

// One -lh5- member of `size` bytes from make(chunk, n), in blocks of at most
// blockTokens tokens, saved as an archive.
template <typename Make>
void WriteArchive(const fs::path& path, const char* name, std::uint64_t size, int blockTokens, Make make) {
  MemoryOutput out;
  MemberHeader h;
  h.method = "-lh5-";
  h.name = name;
  std::vector<std::uint8_t> header = WriteLevel2Header(h);
  out.Write(header.data(), header.size());
  Lh5Encoder encoder(out, blockTokens);
  std::vector<std::uint8_t> chunk(1 << 20);
  std::uint16_t crc = 0;
  for (std::uint64_t done = 0; done < size;) {
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - done));
    make(chunk.data(), done, n);
    crc = UpdateCrc16(crc, chunk.data(), n);
    encoder.Write(chunk.data(), n);
    done += n;
  }
  encoder.Finish();
  h.compressedSize = encoder.CompressedSize();
  h.originalSize = size;
  h.crc = crc;
  header = WriteLevel2Header(h);
  std::vector<std::uint8_t> bytes = out.bytes();
  std::copy(header.begin(), header.end(), bytes.begin());
  bytes.push_back(0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Zeros as other writers cut them: one literal, then copies of 256 bytes
// from one byte back, blockTokens tokens a block, every table written out
// in full (and changed every block with `changing`, so that no table can
// be reused and every block costs its table builds).
std::uint64_t FullTableZeros(OutputFile& out, std::uint64_t size, int blockTokens, bool changing) {
  testing::FullTableLh5Writer writer(out, changing);
  std::vector<testing::FullTableLh5Writer::Token> tokens;
  for (std::uint64_t done = 0; done < size;) {
    std::uint64_t n = std::min<std::uint64_t>(kMaxMatch, size - done);
    if (done == 0 || n < kMinMatch) {
      tokens.push_back({0, 0});
      done += 1;
    } else {
      tokens.push_back({static_cast<std::uint16_t>(256 + n - kMinMatch), 0});
      done += n;
    }
    if (static_cast<int>(tokens.size()) == blockTokens) {
      writer.Block(tokens);
      tokens.clear();
    }
  }
  if (!tokens.empty()) writer.Block(tokens);
  writer.Finish();
  return writer.Size();
}

void WriteFullTableZeros(const fs::path& path, std::uint64_t size, int blockTokens, bool changing) {
  MemoryOutput out;
  MemberHeader h;
  h.method = "-lh5-";
  h.name = "zeros.bin";
  std::vector<std::uint8_t> header = WriteLevel2Header(h);
  out.Write(header.data(), header.size());
  h.compressedSize = FullTableZeros(out, size, blockTokens, changing);
  h.originalSize = size;
  std::vector<std::uint8_t> chunk(1 << 20, 0);
  std::uint16_t crc = 0;
  for (std::uint64_t done = 0; done < size; done += chunk.size()) {
    crc = UpdateCrc16(crc, chunk.data(), static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - done)));
  }
  h.crc = crc;
  header = WriteLevel2Header(h);
  std::vector<std::uint8_t> bytes = out.bytes();
  std::copy(header.begin(), header.end(), bytes.begin());
  bytes.push_back(0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

double BestOf3(const std::string& command) {
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    double ms = TimeCommand(command);
    if (ms < 0) return -1;
    best = std::min(best, ms);
  }
  return best;
}

// Unpacks every member in memory; the core alone, no process start.
double InMemoryMs(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  MemoryArchive file(bytes);
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    double start = NowMs();
    for (const MemberLocation& m : ReadDirectory(file)) UnpackMember(file, m, [](const std::uint8_t*, std::size_t) {});
    best = std::min(best, NowMs() - start);
  }
  return best;
}

void Compare(const char* what, const fs::path& archive, std::uint64_t original) {
  const std::string a = "'" + archive.string() + "'";
  double ours = BestOf3(KB_LZH_PACK " t " + a + " > /dev/null");
  double memory = InMemoryMs(archive);
  double lhasa = BestOf3("lhasa t " + a + " > /dev/null");
  double mb = static_cast<double>(original) / 1e6;
  std::printf("%-34s %10ju bytes packed\n", what, SizeOf(archive));
  std::printf("  ours lzh_pack t   %9.1f ms %8.1f MB/s\n", ours, mb / (ours / 1000));
  std::printf("  ours in memory    %9.1f ms %8.1f MB/s\n", memory, mb / (memory / 1000));
  if (lhasa < 0) {
    std::printf("  lhasa: not available\n");
  } else {
    std::printf("  lhasa t           %9.1f ms %8.1f MB/s   ours/lhasa %.2f\n", lhasa, mb / (lhasa / 1000), ours / lhasa);
  }
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = argc > 1 ? argv[1] : "/tmp/kb_lzh_decode_bench";
  fs::create_directories(dir);
  const std::uint64_t zeros = 400 * kMiB;
  auto makeZeros = [](std::uint8_t* p, std::uint64_t, std::size_t n) { std::fill_n(p, n, 0); };
  for (int tokens : {1, 16, 1 << 14}) {
    fs::path path = dir / ("zeros_" + std::to_string(tokens) + ".lzh");
    if (!fs::exists(path)) WriteArchive(path, "zeros.bin", zeros, tokens, makeZeros);
    Compare(("400 MiB zeros, " + std::to_string(tokens) + "-token blocks").c_str(), path, zeros);
  }
  // Full tables take about 330 bytes a block: a quarter of the zeros keeps
  // lhasa's runs short.
  const std::uint64_t fullTableZeros = 100 * kMiB;
  for (bool changing : {false, true}) {
    for (int tokens : {1, 16}) {
      std::string name = std::string(changing ? "changing" : "full") + "_" + std::to_string(tokens);
      fs::path path = dir / ("zeros_" + name + ".lzh");
      if (!fs::exists(path)) WriteFullTableZeros(path, fullTableZeros, tokens, changing);
      Compare(("100 MiB zeros, " + std::to_string(tokens) + "-token blocks, " +
               (changing ? "changing" : "full") + " tables").c_str(),
              path, fullTableZeros);
    }
  }
  std::vector<std::uint8_t> sample = MixedSample();
  fs::path mixed = dir / "mixed.lzh";
  WriteArchive(mixed, "mixed.bin", sample.size(), 1 << 14, [&](std::uint8_t* p, std::uint64_t at, std::size_t n) {
    std::copy_n(sample.begin() + static_cast<std::ptrdiff_t>(at), n, p);
  });
  Compare("10 MiB mixed sample", mixed, sample.size());
  // The older methods, written by the tests' encoders (greedy matching).
  struct Old {
    const char* method;
    std::vector<std::uint8_t> (*pack)(const std::vector<std::uint8_t>&);
  } const olds[] = {{"-lh1-", testing::EncodeLh1}, {"-lzs-", testing::EncodeLzs}, {"-lz5-", testing::EncodeLz5}};
  for (const Old& o : olds) {
    fs::path path = dir / ("mixed_" + std::string(o.method + 1, 3) + ".lzh");
    if (!fs::exists(path)) {
      testing::OldMember m;
      m.method = o.method;
      m.name = "mixed.bin";
      m.original = sample;
      m.packed = o.pack(sample);
      std::vector<std::uint8_t> bytes = testing::OldArchive({m});
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    Compare(("10 MiB mixed sample, " + std::string(o.method)).c_str(), path, sample.size());
  }
  return 0;
}
