#include "lzh/lzss_decoder.h"

#include <algorithm>
#include <cstring>

#include "lzh/status.h"

namespace kb::lzh {

RingDecoder::RingDecoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
                         std::uint64_t originalSize, int ringBits, std::size_t start)
    : bits_(file, offset, compressedSize),
      ring_(std::size_t{1} << ringBits, ' '),
      pos_(start),
      remaining_(originalSize) {}

std::size_t RingDecoder::Read(std::uint8_t* out, std::size_t size) {
  const std::size_t mask = ring_.size() - 1;
  std::size_t n = 0;
  while (n < size && remaining_ > 0) {
    if (copyLength_ > 0) {
      const std::uint8_t b = ring_[copyFrom_++ & mask];
      ring_[pos_] = b;
      pos_ = (pos_ + 1) & mask;
      out[n++] = b;
      --remaining_;
      --copyLength_;
      continue;
    }
    // The data ends once every byte was produced; what is still asked for
    // beyond the packed bytes is a broken stream, not zero bits.
    if (bits_.Overrun()) throw LzhError(Status::kBrokenData, "broken compressed data: the data ends early");
    NextToken();
    if (haveLiteral_) {
      haveLiteral_ = false;
      ring_[pos_] = literal_;
      pos_ = (pos_ + 1) & mask;
      out[n++] = literal_;
      --remaining_;
    }
  }
  if (remaining_ == 0 && bits_.Overrun()) {
    throw LzhError(Status::kBrokenData, "broken compressed data: the data ends early");
  }
  return n;
}

// Copies name absolute ring places, so the first byte goes where LArc's
// encoder put it.
LzsDecoder::LzsDecoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
                       std::uint64_t originalSize)
    : RingDecoder(file, offset, compressedSize, originalSize, 11, 2048 - 17) {}

void LzsDecoder::NextToken() {
  if (bits_.Get(1) == 1) {
    Literal(static_cast<std::uint8_t>(bits_.Get(8)));
    return;
  }
  const std::size_t from = bits_.Get(11);
  Copy(from, static_cast<int>(bits_.Get(4)) + 2);
}

void FillLz5Ring(std::uint8_t* ring) {
  std::uint8_t* p = ring;
  for (int v = 0; v < 256; ++v) p = std::fill_n(p, 13, static_cast<std::uint8_t>(v));
  for (int v = 0; v < 256; ++v) *p++ = static_cast<std::uint8_t>(v);
  for (int v = 0; v < 256; ++v) *p++ = static_cast<std::uint8_t>(255 - v);
  p = std::fill_n(p, 128, std::uint8_t{0});
  p = std::fill_n(p, 128 - 18, std::uint8_t{' '});
  std::fill_n(p, 18, std::uint8_t{0});
}

Lz5Decoder::Lz5Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
                       std::uint64_t originalSize)
    : RingDecoder(file, offset, compressedSize, originalSize, 12, 4096 - 18) {
  FillLz5Ring(ring().data());
}

void Lz5Decoder::NextToken() {
  if (flagsLeft_ == 0) {
    flags_ = bits_.Get(8);
    flagsLeft_ = 8;
  }
  const bool literal = (flags_ & 1) != 0;
  flags_ >>= 1;
  --flagsLeft_;
  if (literal) {
    Literal(static_cast<std::uint8_t>(bits_.Get(8)));
    return;
  }
  const unsigned low = bits_.Get(8);
  const unsigned high = bits_.Get(8);
  Copy(low | (high & 0xF0) << 4, static_cast<int>(high & 0x0F) + 3);
}

Lh1Decoder::Lh1Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
                       std::uint64_t originalSize)
    : RingDecoder(file, offset, compressedSize, originalSize, 12, 0) {}

void Lh1Decoder::NextToken() {
  int node = tree_.Child(Lh1Tree::kRoot);
  while (node < Lh1Tree::kNodes) node = tree_.Child(node + static_cast<int>(bits_.Get(1)));
  const int symbol = node - Lh1Tree::kNodes;
  tree_.Update(symbol);
  if (symbol < 256) {
    Literal(static_cast<std::uint8_t>(symbol));
    return;
  }
  const Lh1DistanceCode& code = Lh1Distances();
  const int top = code.valueOf[bits_.Peek16() >> 8];
  bits_.Skip(code.length[top]);
  const std::size_t distance = (static_cast<std::size_t>(top) << 6 | bits_.Get(6)) + 1;
  Copy(position() + 4096 - distance, symbol - 256 + 3);
}

}  // namespace kb::lzh
