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

// Decodes symbols of one table from the next 16 bits of the stream.  A
// build costs in proportion to the table, not to the code space: streams
// cut into many small blocks rebuild their tables thousands of times a
// second, so the lookup table covers only the longest code (up to 10 bits),
// and a table equal to the one before is not built again.
class HuffmanDecoder {
 public:
  // False when a length exceeds 16 or the lengths over-subscribe the code
  // space; an incomplete code is accepted (its unused codes fail to decode).
  // Symbols from count on have no code.
  bool Build(const std::uint8_t* lengths, int count);
  // A table of one symbol, which takes no bits at all.
  void BuildSingle(int symbol);

  // The symbol at the front of peek16 (the next 16 bits, first bit highest)
  // and its length in *bits; -1 for a code that names no symbol.
  int Decode(std::uint32_t peek16, int* bits) const {
    std::uint16_t e = fast_[peek16 >> fastShift_];
    if (e & kValid) {
      *bits = (e >> kLengthShift) & 31;
      return e & kSymbolMask;
    }
    return DecodeLong(peek16, bits);
  }

 private:
  static constexpr int kFastBits = 10;
  // Entry: valid bit, length (5 bits), symbol (10 bits; tables have at most
  // 510 symbols).
  static constexpr std::uint16_t kValid = 0x8000;
  static constexpr int kLengthShift = 10;
  static constexpr std::uint16_t kSymbolMask = 0x3FF;
  int DecodeLong(std::uint32_t peek16, int* bits) const;

  // fast_[0 .. 2^(16 - fastShift_)) is in use; 0 where the code is longer
  // or unused.
  std::array<std::uint16_t, 1 << kFastBits> fast_{};
  int fastShift_ = 16;
  int maxLength_ = 0;
  std::array<std::uint32_t, kMaxCodeBits + 1> first_{};
  std::array<std::uint32_t, kMaxCodeBits + 1> count_{};
  std::array<std::uint32_t, kMaxCodeBits + 1> offset_{};
  std::vector<std::uint16_t> sorted_;
  // What was built last, to skip an equal table.
  std::vector<std::uint8_t> built_;
  int single_ = -1;
};

}  // namespace kb::lzh
