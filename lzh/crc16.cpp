#include "lzh/crc16.h"

#include <array>

namespace kb::lzh {
namespace {

// Slicing by four: members are CRC-checked as they are packed and tested, so
// this runs over every byte twice; four tables keep it well below the
// compressor's own cost.
using Tables = std::array<std::array<std::uint16_t, 256>, 4>;

constexpr Tables MakeTables() {
  Tables t{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
    t[0][i] = static_cast<std::uint16_t>(c);
  }
  for (unsigned i = 0; i < 256; ++i) {
    for (int s = 1; s < 4; ++s) {
      unsigned prev = t[s - 1][i];
      t[s][i] = static_cast<std::uint16_t>((prev >> 8) ^ t[0][prev & 0xFF]);
    }
  }
  return t;
}

constexpr Tables kTables = MakeTables();

}  // namespace

std::uint16_t UpdateCrc16(std::uint16_t crc, const std::uint8_t* data, std::size_t size) {
  unsigned c = crc;
  while (size >= 4) {
    c ^= static_cast<unsigned>(data[0]) | (static_cast<unsigned>(data[1]) << 8);
    c = kTables[3][c & 0xFF] ^ kTables[2][c >> 8] ^ kTables[1][data[2]] ^ kTables[0][data[3]];
    data += 4;
    size -= 4;
  }
  while (size-- > 0) c = (c >> 8) ^ kTables[0][(c ^ *data++) & 0xFF];
  return static_cast<std::uint16_t>(c);
}

}  // namespace kb::lzh
