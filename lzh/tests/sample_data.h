// Generated contents for the archive tests: kinds of data a backup meets.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kb::lzh::testing {

enum class Kind { kText, kBinary, kRuns, kRandom, kMixed };

// size bytes of the given kind, the same for the same seed.
inline std::vector<std::uint8_t> Sample(Kind kind, std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"the ", "backup ", "of ", "設定 ", "data ", "file ", "=1\r\n",
                                       "[Info]\r\n", "Kobarune ", "表示 ", "program ", "and "};
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out;
  out.reserve(size);
  while (out.size() < size) {
    Kind k = kind == Kind::kMixed ? static_cast<Kind>(rng() % 4) : kind;
    std::size_t piece = kind == Kind::kMixed ? 1 + rng() % 20000 : size;
    for (std::size_t i = 0; i < piece && out.size() < size;) {
      switch (k) {
        case Kind::kText:
          for (const char* w = kWords[rng() % 12]; *w != 0 && out.size() < size; ++w, ++i) out.push_back(static_cast<std::uint8_t>(*w));
          break;
        case Kind::kBinary:  // little-endian records with small fields, like a program's data
          out.push_back(static_cast<std::uint8_t>(i % 16 < 4 ? rng() % 8 : i % 16 < 8 ? i / 16 : 0));
          ++i;
          break;
        case Kind::kRuns:
          for (std::size_t n = rng() % 600, b = rng() % 3; n > 0 && out.size() < size; --n, ++i) out.push_back(static_cast<std::uint8_t>(b));
          ++i;
          break;
        default:
          out.push_back(static_cast<std::uint8_t>(rng()));
          ++i;
          break;
      }
    }
  }
  return out;
}

}  // namespace kb::lzh::testing
