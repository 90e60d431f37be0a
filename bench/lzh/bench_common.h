// What the LZH benchmarks share: the 10 MiB mixed sample and timing.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace kb::lzh::bench {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1 << 20;

// Regular files under root whose names end in one of the suffixes (any when
// empty), in name order, until `want` bytes are collected.
inline std::vector<std::uint8_t> Gather(const fs::path& root, const std::vector<std::string>& suffixes,
                                 std::size_t want) {
  std::vector<fs::path> paths;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    std::string name = it->path().string();
    bool ok = suffixes.empty();
    for (const std::string& s : suffixes) ok = ok || name.ends_with(s);
    if (ok) paths.push_back(it->path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::uint8_t> out;
  for (const fs::path& p : paths) {
    if (out.size() >= want) break;
    std::ifstream in(p, std::ios::binary);
    out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  out.resize(std::min(out.size(), want));
  return out;
}

// 4 MiB text, 3 MiB binaries, 2 MiB random bytes and 1 MiB zeros, laid out
// in interleaved pieces of 512 KiB.
inline std::vector<std::uint8_t> MixedSample() {
  std::vector<std::uint8_t> text = Gather("/usr/include", {".h"}, 4 * kMiB);
  std::vector<std::uint8_t> binary = Gather("/usr/bin", {}, 3 * kMiB);
  std::vector<std::uint8_t> random(2 * kMiB);
  std::mt19937_64 rng(12345);
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  std::vector<std::uint8_t> zeros(1 * kMiB, 0);
  std::vector<std::vector<std::uint8_t>*> parts{&text, &binary, &random, &zeros};
  std::vector<std::size_t> used(parts.size(), 0);
  std::vector<std::uint8_t> out;
  constexpr std::size_t kPiece = 512 * 1024;
  for (bool more = true; more;) {
    more = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      std::size_t n = std::min(kPiece, parts[i]->size() - used[i]);
      out.insert(out.end(), parts[i]->begin() + used[i], parts[i]->begin() + used[i] + n);
      used[i] += n;
      more = more || used[i] < parts[i]->size();
    }
  }
  return out;
}

// Milliseconds on the wall clock.  (<chrono> cannot be used: its literals do
// not survive the project's Shift-JIS execution character set.)
inline double NowMs() {
  std::timespec t{};
  std::timespec_get(&t, TIME_UTC);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Wall time of a shell command, or a negative value when it failed.
inline double TimeCommand(const std::string& command) {
  double start = NowMs();
  int rc = std::system(command.c_str());
  double ms = NowMs() - start;
  return rc == 0 ? ms : -1;
}

inline std::uintmax_t SizeOf(const fs::path& p) {
  std::error_code ec;
  std::uintmax_t n = fs::file_size(p, ec);
  return ec ? 0 : n;
}

inline void Row(const char* what, double ms, std::uintmax_t size, std::size_t original) {
  std::printf("%-36s %9.1f ms %9.1f MB/s %10ju bytes %6.2f %%\n", what, ms,
              static_cast<double>(original) / 1e6 / (ms / 1000), size,
              100.0 * static_cast<double>(size) / static_cast<double>(original));
}

}  // namespace kb::lzh::bench
