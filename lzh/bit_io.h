// Bit streams of -lh5- data: bits are written and read most significant
// first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzh/stream.h"

namespace kb::lzh {

// Collects bits in memory and hands full chunks to the archive.
class BitWriter {
 public:
  explicit BitWriter(OutputFile& out) : out_(out) { buffer_.reserve(kChunk + 16); }

  // The low `count` bits of value, count <= 24.
  void Put(std::uint32_t value, int count) {
    acc_ = (acc_ << count) | (value & ((1u << count) - 1));
    bits_ += count;
    while (bits_ >= 8) {
      bits_ -= 8;
      buffer_.push_back(static_cast<std::uint8_t>(acc_ >> bits_));
    }
    if (buffer_.size() >= kChunk) Drain();
  }

  // Pads the last byte with zero bits and writes everything out.
  void Flush();
  // Bytes handed on or waiting, whole bytes only.
  std::uint64_t BytesWritten() const { return written_ + buffer_.size(); }

 private:
  static constexpr std::size_t kChunk = 64 * 1024;
  void Drain();

  OutputFile& out_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t acc_ = 0;
  int bits_ = 0;
  std::uint64_t written_ = 0;
};

// Reads the compressed bytes of one member.  Past its end the stream reads
// as zero bits, as decoders always look 16 bits ahead; Overrun tells whether
// bits beyond the end were actually taken.
class BitReader {
 public:
  BitReader(ArchiveFile& file, std::uint64_t offset, std::uint64_t size)
      : file_(file), next_(offset), remaining_(size), totalBits_(size * 8) {
    Refill();
  }

  // The next 16 bits without taking them.
  std::uint32_t Peek16() const { return static_cast<std::uint32_t>(acc_ >> (kAccBits - 16)); }

  void Skip(int count) {
    acc_ <<= count;
    bits_ -= count;
    consumed_ += static_cast<std::uint64_t>(count);
    if (bits_ < 32) Refill();
  }

  std::uint32_t Get(int count) {
    if (count == 0) return 0;
    std::uint32_t v = static_cast<std::uint32_t>(acc_ >> (kAccBits - count));
    Skip(count);
    return v;
  }

  bool Overrun() const { return consumed_ > totalBits_; }

 private:
  static constexpr int kAccBits = 64;
  void Refill();

  ArchiveFile& file_;
  std::uint64_t next_;
  std::uint64_t remaining_;
  std::uint64_t totalBits_;
  std::uint64_t consumed_ = 0;
  std::uint64_t acc_ = 0;  // bits_ valid bits, left-aligned
  int bits_ = 0;
  std::vector<std::uint8_t> chunk_ = std::vector<std::uint8_t>(32 * 1024);
  std::size_t chunkPos_ = 0;
  std::size_t chunkEnd_ = 0;
};

}  // namespace kb::lzh
