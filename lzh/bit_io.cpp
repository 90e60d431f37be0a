#include "lzh/bit_io.h"

#include <algorithm>

#include "lzh/status.h"

namespace kb::lzh {

void BitWriter::Drain() {
  out_.Write(buffer_.data(), buffer_.size());
  written_ += buffer_.size();
  buffer_.clear();
}

void BitWriter::Flush() {
  if (bits_ > 0) {
    buffer_.push_back(static_cast<std::uint8_t>(acc_ << (8 - bits_)));
    bits_ = 0;
  }
  acc_ = 0;
  Drain();
}

void BitReader::Refill() {
  while (bits_ <= kAccBits - 8) {
    if (chunkPos_ == chunkEnd_) {
      chunkPos_ = chunkEnd_ = 0;
      if (remaining_ > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, chunk_.size()));
        chunkEnd_ = file_.ReadAt(next_, chunk_.data(), want);
        if (chunkEnd_ == 0) {
          throw LzhError(Status::kCannotRead, "the archive ends inside a member's data");
        }
        next_ += chunkEnd_;
        remaining_ -= chunkEnd_;
      }
    }
    std::uint64_t byte = chunkPos_ < chunkEnd_ ? chunk_[chunkPos_++] : 0;
    acc_ |= byte << (kAccBits - 8 - bits_);
    bits_ += 8;
  }
}

}  // namespace kb::lzh
