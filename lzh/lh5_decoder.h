// The decoder of -lh4- to -lh7- data (one algorithm, different windows),
// used to test archives.  Every malformed stream ends in LzhError
// (kBrokenData), never in a read or write outside its buffers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzh/bit_io.h"
#include "lzh/decoder.h"
#include "lzh/huffman.h"
#include "lzh/lh5_format.h"
#include "lzh/stream.h"

namespace kb::lzh {

class Lh5Decoder final : public MemberDecoder {
 public:
  Lh5Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
             std::uint64_t originalSize, MethodShape shape);

  // Up to size bytes of the original data; 0 once all of it was produced.
  std::size_t Read(std::uint8_t* out, std::size_t size) override;

 private:
  void ReadBlockHeader();
  void ReadSmallTable(HuffmanDecoder& table, int count, int countBits, int special);
  void ReadMainTable();
  int DecodeSymbol(const HuffmanDecoder& table);

  BitReader bits_;
  MethodShape shape_;
  std::uint64_t remaining_;
  std::vector<std::uint8_t> window_;
  std::size_t windowPos_ = 0;
  unsigned blockRemaining_ = 0;
  int copyLength_ = 0;
  std::size_t copyDistance_ = 0;
  HuffmanDecoder helper_;
  HuffmanDecoder symbols_;
  HuffmanDecoder distances_;
};

}  // namespace kb::lzh
