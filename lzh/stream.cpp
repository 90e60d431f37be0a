#include "lzh/stream.h"

#include <algorithm>
#include <cstring>

namespace kb::lzh {

std::size_t MemoryInput::Read(std::uint8_t* data, std::size_t size) {
  std::size_t n = std::min(size, data_.size() - pos_);
  if (n > 0) std::memcpy(data, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

std::size_t MemoryArchive::ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) {
  if (offset >= size_) return 0;
  std::size_t n = std::min<std::uint64_t>(size, size_ - offset);
  std::memcpy(data, data_ + offset, n);
  return n;
}

void MemoryOutput::Write(const std::uint8_t* data, std::size_t size) {
  if (pos_ + size > bytes_.size()) bytes_.resize(pos_ + size);
  if (size > 0) std::memcpy(bytes_.data() + pos_, data, size);
  pos_ += size;
}

}  // namespace kb::lzh
