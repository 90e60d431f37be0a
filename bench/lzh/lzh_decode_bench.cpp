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
#include "lzh/bit_io.h"
#include "lzh/crc16.h"
#include "lzh/header.h"
#include "lzh/huffman.h"
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
// in full (each symbol a length, no one-symbol forms).  With `changing` the
// main table differs from the block before (the four 9-bit codes move), so
// no table can be reused and every block costs its table builds.
class FullTableZeros {
 public:
  FullTableZeros(OutputFile& out, int blockTokens, bool changing)
      : bits_(out), blockTokens_(blockTokens), changing_(changing) {}

  void Write(std::uint64_t size) {
    std::vector<std::uint16_t> tokens;
    auto push = [&](std::uint16_t token) {
      tokens.push_back(token);
      if (static_cast<int>(tokens.size()) == blockTokens_) {
        Block(tokens);
        tokens.clear();
      }
    };
    for (std::uint64_t done = 0; done < size;) {
      std::uint64_t n = std::min<std::uint64_t>(kMaxMatch, size - done);
      if (done == 0 || n < kMinMatch) {
        push(0);
        done += 1;
      } else {
        push(static_cast<std::uint16_t>(256 + n - kMinMatch));
        done += n;
      }
    }
    if (!tokens.empty()) Block(tokens);
    bits_.Flush();
  }
  std::uint64_t Size() const { return bits_.BytesWritten(); }

 private:
  // Completes a code over n symbols: the lengths already set stay, the
  // others share what is left of the code space at longLength - 1 and
  // longLength bits (x and y of them: 2x + y = left, x + y = rest).
  static void Fill(std::uint8_t* lengths, int n, int longLength) {
    std::uint32_t left = 1u << longLength;
    int rest = 0;
    for (int i = 0; i < n; ++i) {
      if (lengths[i] != 0) left -= 1u << (longLength - lengths[i]);
      else ++rest;
    }
    int x = static_cast<int>(left) - rest;
    for (int i = 0; i < n; ++i) {
      if (lengths[i] != 0) continue;
      lengths[i] = static_cast<std::uint8_t>(x-- > 0 ? longLength - 1 : longLength);
    }
  }

  void SmallTable(const std::uint8_t* lengths, int n, int countBits, int special) {
    bits_.Put(static_cast<std::uint32_t>(n), countBits);
    for (int i = 0; i < n; ++i) {
      int len = lengths[i];
      if (len <= 6) {
        bits_.Put(static_cast<std::uint32_t>(len), 3);
      } else {
        bits_.Put(7, 3);
        bits_.Put(((1u << (len - 7)) - 1) << 1, len - 6);
      }
      if (i + 1 == special) bits_.Put(0, 2);
    }
  }

  void Block(const std::vector<std::uint16_t>& tokens) {
    std::array<std::uint8_t, kLiteralLengthSymbols> main{};
    // The zero literal and the longest copy take short codes; in a changing
    // stream four other symbols (moving each block) take 10 bits, the rest 11.
    main[0] = 2;
    main[kLiteralLengthSymbols - 1] = 1;
    if (changing_) {
      for (int k = 0; k < 4; ++k) main[1 + (block_ * 4 + k) % 500] = 10;
    }
    Fill(main.data(), kLiteralLengthSymbols, 11);
    std::array<std::uint8_t, kHelperSymbols> helper{};
    Fill(helper.data(), kHelperSymbols, 5);
    std::array<std::uint8_t, kLh5Shape.distanceSymbols> dist{};
    Fill(dist.data(), kLh5Shape.distanceSymbols, 4);
    std::array<std::uint16_t, kLiteralLengthSymbols> mainCodes{};
    std::array<std::uint16_t, kHelperSymbols> helperCodes{};
    std::array<std::uint16_t, kLh5Shape.distanceSymbols> distCodes{};
    AssignCodes(main.data(), kLiteralLengthSymbols, mainCodes.data());
    AssignCodes(helper.data(), kHelperSymbols, helperCodes.data());
    AssignCodes(dist.data(), kLh5Shape.distanceSymbols, distCodes.data());

    bits_.Put(static_cast<std::uint32_t>(tokens.size()), 16);
    SmallTable(helper.data(), kHelperSymbols, kHelperCountBits, kHelperSpecialIndex);
    bits_.Put(kLiteralLengthSymbols, kLiteralCountBits);
    for (int i = 0; i < kLiteralLengthSymbols; ++i) bits_.Put(helperCodes[main[i] + 2], helper[main[i] + 2]);
    SmallTable(dist.data(), kLh5Shape.distanceSymbols, kLh5Shape.distanceCountBits, -1);
    for (std::uint16_t t : tokens) {
      bits_.Put(mainCodes[t], main[t]);
      if (t >= 256) bits_.Put(distCodes[0], dist[0]);  // distance 1
    }
    ++block_;
  }

  BitWriter bits_;
  int blockTokens_;
  bool changing_;
  int block_ = 0;
};

void WriteFullTableZeros(const fs::path& path, std::uint64_t size, int blockTokens, bool changing) {
  MemoryOutput out;
  MemberHeader h;
  h.method = "-lh5-";
  h.name = "zeros.bin";
  std::vector<std::uint8_t> header = WriteLevel2Header(h);
  out.Write(header.data(), header.size());
  FullTableZeros writer(out, blockTokens, changing);
  writer.Write(size);
  h.compressedSize = writer.Size();
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
