// The decoders of plain LZSS streams over a ring of past bytes: -lzs- and
// -lz5- (LArc), and -lh1- (the first LHarc: adaptive Huffman codes).  The
// ring starts as each method's encoder started its own, since streams may
// copy from it before writing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzh/bit_io.h"
#include "lzh/decoder.h"
#include "lzh/lh1_tree.h"

namespace kb::lzh {

// The ring and the output: a method's NextToken emits a literal or starts a
// copy from an absolute ring position.
class RingDecoder : public MemberDecoder {
 public:
  std::size_t Read(std::uint8_t* out, std::size_t size) final;

 protected:
  RingDecoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
              std::uint64_t originalSize, int ringBits, std::size_t start);
  virtual void NextToken() = 0;
  void Literal(std::uint8_t b) {
    literal_ = b;
    haveLiteral_ = true;
  }
  void Copy(std::size_t from, int length) {
    copyFrom_ = from;
    copyLength_ = length;
  }
  std::size_t position() const { return pos_; }
  std::vector<std::uint8_t>& ring() { return ring_; }

  BitReader bits_;

 private:
  std::vector<std::uint8_t> ring_;
  std::size_t pos_ = 0;
  std::uint64_t remaining_;
  std::size_t copyFrom_ = 0;
  int copyLength_ = 0;
  std::uint8_t literal_ = 0;
  bool haveLiteral_ = false;
};

// -lzs-: a flag bit, then 8 literal bits, or 11 bits of ring position and
// 4 of length (2-17).  A 2 KiB ring of blanks, the first byte at 2048 - 17.
class LzsDecoder final : public RingDecoder {
 public:
  LzsDecoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
             std::uint64_t originalSize);

 private:
  void NextToken() override;
};

// -lz5-: a flag byte for every eight tokens (lowest bit first, 1 a literal
// byte); a copy is two bytes: position low 8 bits, then its high 4 bits
// and the length - 3.  A 4 KiB ring with runs of every byte value (see
// FillLz5Ring), the first byte at 4096 - 18.
class Lz5Decoder final : public RingDecoder {
 public:
  Lz5Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
             std::uint64_t originalSize);

 private:
  void NextToken() override;
  unsigned flags_ = 0;
  int flagsLeft_ = 0;
};

// The ring -lz5- starts with.
void FillLz5Ring(std::uint8_t* ring);

// -lh1-: adaptive Huffman codes of 314 symbols (literals, lengths 3-60);
// a copy's distance - 1 is a fixed code for its top 6 bits, then 6 plain
// bits.  A 4 KiB ring of blanks.
class Lh1Decoder final : public RingDecoder {
 public:
  Lh1Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
             std::uint64_t originalSize);

 private:
  void NextToken() override;
  Lh1Tree tree_;
};

}  // namespace kb::lzh
