// Canonical Huffman codes as -lh5- uses them: at most 16 bits, shorter codes
// numerically first, codes of one length in symbol order.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kb::lzh {

constexpr int kMaxCodeBits = 16;

// Fills lengths[0..count) with the code lengths of a Huffman code for freq,
// none longer than maxBits.  With fewer than two used symbols every length
// is 0: such a table is written in its one-symbol form.
void BuildCodeLengths(const std::uint32_t* freq, int count, int maxBits, std::uint8_t* lengths);

// The canonical code of every symbol with a nonzero length.
void AssignCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes);

// Decodes symbols of one table from the next 16 bits of the stream.
class HuffmanDecoder {
 public:
  // False when a length exceeds 16 or the lengths over-subscribe the code
  // space; an incomplete code is accepted (its unused codes fail to decode).
  bool Build(const std::uint8_t* lengths, int count);
  // A table of one symbol, which takes no bits at all.
  void BuildSingle(int symbol);

  // The symbol at the front of peek16 (the next 16 bits, first bit highest)
  // and its length in *bits; -1 for a code that names no symbol.
  int Decode(std::uint32_t peek16, int* bits) const {
    std::uint16_t e = fast_[peek16 >> (16 - kFastBits)];
    if (e != 0) {
      *bits = e >> 12;
      return e & 0x0FFF;
    }
    return DecodeLong(peek16, bits);
  }

 private:
  static constexpr int kFastBits = 10;
  int DecodeLong(std::uint32_t peek16, int* bits) const;

  // Entry: length << 12 | symbol; 0 where the code is longer or unused (a
  // one-symbol table keeps length 0 in the slow fields instead).
  std::array<std::uint16_t, 1 << kFastBits> fast_{};
  std::array<std::uint32_t, kMaxCodeBits + 1> first_{};
  std::array<std::uint32_t, kMaxCodeBits + 1> count_{};
  std::array<std::uint32_t, kMaxCodeBits + 1> offset_{};
  std::vector<std::uint16_t> sorted_;
  int single_ = -1;
};

}  // namespace kb::lzh
