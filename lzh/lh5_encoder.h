// The -lh5- compressor: LZSS over an 8 KiB window with lazy matching,
// written as blocks of static Huffman codes.  Data is pushed in pieces of any
// size; the compressed bytes go straight to the archive.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzh/bit_io.h"
#include "lzh/lh5_format.h"
#include "lzh/stream.h"

namespace kb::lzh {

class Lh5Encoder {
 public:
  explicit Lh5Encoder(OutputFile& out) : Lh5Encoder(out, kBlockTokens) {}
  // Blocks of at most blockTokens tokens (1 … 65535; the benchmark makes
  // streams of small blocks, as some other writers do).
  Lh5Encoder(OutputFile& out, int blockTokens);

  void Write(const std::uint8_t* data, std::size_t size);
  // Codes what is left and pads the last byte; nothing may be written after.
  void Finish();
  std::uint64_t CompressedSize() const { return bits_.BytesWritten(); }

 private:
  static constexpr int kDictSize = 1 << kLh5Shape.dictBits;
  static constexpr int kHashBits = 15;
  static constexpr int kBufferSize = 1 << 18;
  static constexpr int kBlockTokens = 1 << 14;  // smaller blocks follow mixed data better

  void Encode(bool final);
  void Slide();
  void Insert(int pos);
  int FindMatch(int pos, int atLeast, int* distance);
  void EmitLiteral(std::uint8_t byte);
  void EmitMatch(int length, int distance);
  void WriteBlock();
  void WriteHelperCodedLengths(const std::uint8_t* lengths, int count);
  void WriteSmallTable(const std::uint8_t* lengths, int count, int countBits, int special);

  BitWriter bits_;
  std::size_t blockTokens_;
  std::vector<std::uint8_t> buffer_;
  std::vector<std::int32_t> head_;  // per hash: latest position, -1 none
  std::vector<std::int32_t> prev_;  // per position modulo the window: the one before with its hash
  int pos_ = 0;                     // next position to code
  int end_ = 0;                     // end of the data in buffer_
  int pendingLength_ = 0;           // lazy matching: the match found one position back
  int pendingDistance_ = 0;
  bool pendingLiteral_ = false;

  std::vector<std::uint16_t> symbols_;    // per token: literal or length symbol
  std::vector<std::uint16_t> distances_;  // per match token: distance - 1
  std::array<std::uint32_t, kLiteralLengthSymbols> symbolFreq_{};
  std::array<std::uint32_t, kLh5Shape.distanceSymbols> distanceFreq_{};
};

}  // namespace kb::lzh
