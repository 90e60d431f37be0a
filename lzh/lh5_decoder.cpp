#include "lzh/lh5_decoder.h"

#include <algorithm>
#include <cstring>

#include "lzh/status.h"

namespace kb::lzh {
namespace {

[[noreturn]] void Broken(const char* what) {
  throw LzhError(Status::kBrokenData, std::string("broken compressed data: ") + what);
}

}  // namespace

// The window starts filled with blanks, as the classic coders' windows do:
// a stream may refer to them before its first bytes.
Lh5Decoder::Lh5Decoder(ArchiveFile& file, std::uint64_t offset, std::uint64_t compressedSize,
                       std::uint64_t originalSize, MethodShape shape)
    : bits_(file, offset, compressedSize),
      shape_(shape),
      remaining_(originalSize),
      window_(std::size_t{1} << shape.dictBits, ' ') {}

std::size_t Lh5Decoder::Read(std::uint8_t* out, std::size_t size) {
  const std::size_t mask = window_.size() - 1;
  std::size_t n = 0;
  while (n < size && remaining_ > 0) {
    if (copyLength_ > 0) {
      // A whole run at once: the copy may overlap itself (a distance
      // shorter than the length repeats the bytes), so byte by byte.
      std::size_t k = std::min<std::size_t>({static_cast<std::size_t>(copyLength_), size - n,
                                             static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, size))});
      std::uint8_t* window = window_.data();
      std::size_t from = windowPos_ - copyDistance_;
      std::size_t to = windowPos_;
      const std::size_t src = from & mask;
      if (to + k <= mask + 1 && src + k <= mask + 1 && (copyDistance_ == 1 || (copyDistance_ >= k && copyDistance_ + k <= mask + 1))) {
        // Neither range wraps: a run of one byte, or a copy clear of itself
        // (a distance near the window size reaches round to just after it).
        if (copyDistance_ == 1) {
          std::memset(window + to, window[src], k);
        } else {
          std::memcpy(window + to, window + src, k);
        }
        std::memcpy(out + n, window + to, k);
      } else {
        for (std::size_t i = 0; i < k; ++i) {
          const std::uint8_t b = window[(from + i) & mask];
          window[(to + i) & mask] = b;
          out[n + i] = b;
        }
      }
      windowPos_ = (to + k) & mask;
      n += k;
      remaining_ -= k;
      copyLength_ -= static_cast<int>(k);
      continue;
    }
    if (blockRemaining_ == 0) {
      ReadBlockHeader();
      continue;
    }
    --blockRemaining_;
    int symbol = DecodeSymbol(symbols_);
    if (symbol < 256) {
      window_[windowPos_] = static_cast<std::uint8_t>(symbol);
      windowPos_ = (windowPos_ + 1) & mask;
      out[n++] = static_cast<std::uint8_t>(symbol);
      --remaining_;
      continue;
    }
    copyLength_ = symbol - 256 + kMinMatch;
    int p = DecodeSymbol(distances_);
    std::size_t d = p <= 1 ? static_cast<std::size_t>(p)
                           : (std::size_t{1} << (p - 1)) + bits_.Get(p - 1);
    copyDistance_ = d + 1;
  }
  if (remaining_ == 0 && bits_.Overrun()) Broken("the data ends early");
  return n;
}

int Lh5Decoder::DecodeSymbol(const HuffmanDecoder& table) {
  int bits = 0;
  int symbol = table.Decode(bits_.Peek16(), &bits);
  if (symbol < 0) Broken("a code that names no symbol");
  bits_.Skip(bits);
  return symbol;
}

void Lh5Decoder::ReadBlockHeader() {
  // Every block header takes bits, so a stream of empty blocks runs out.
  if (bits_.Overrun()) Broken("the data ends early");
  blockRemaining_ = bits_.Get(16);
  ReadSmallTable(helper_, kHelperSymbols, kHelperCountBits, kHelperSpecialIndex);
  ReadMainTable();
  ReadSmallTable(distances_, shape_.distanceSymbols, shape_.distanceCountBits, -1);
}

void Lh5Decoder::ReadSmallTable(HuffmanDecoder& table, int count, int countBits, int special) {
  int n = static_cast<int>(bits_.Get(countBits));
  if (n == 0) {
    int only = static_cast<int>(bits_.Get(countBits));
    if (only >= count) Broken("a one-symbol table names no symbol");
    table.BuildSingle(only);
    return;
  }
  if (n > count) Broken("a table longer than its symbols");
  std::array<std::uint8_t, kHelperSymbols + 8> lengths{};
  int i = 0;
  while (i < n) {
    int len = static_cast<int>(bits_.Get(3));
    if (len == 7) {
      while (bits_.Get(1) == 1) {
        if (++len > kMaxCodeBits) Broken("a code longer than 16 bits");
      }
    }
    lengths[i++] = static_cast<std::uint8_t>(len);
    if (i == special) {
      int zeros = static_cast<int>(bits_.Get(2));
      while (zeros-- > 0 && i < count) lengths[i++] = 0;
    }
  }
  if (!table.Build(lengths.data(), count)) Broken("an impossible code table");
}

void Lh5Decoder::ReadMainTable() {
  int n = static_cast<int>(bits_.Get(kLiteralCountBits));
  if (n == 0) {
    int only = static_cast<int>(bits_.Get(kLiteralCountBits));
    if (only >= kLiteralLengthSymbols) Broken("a one-symbol table names no symbol");
    symbols_.BuildSingle(only);
    return;
  }
  if (n > kLiteralLengthSymbols) Broken("a table longer than its symbols");
  std::array<std::uint8_t, kLiteralLengthSymbols> lengths{};
  int i = 0;
  while (i < n) {
    int step = DecodeSymbol(helper_);
    if (step > 2) {
      lengths[i++] = static_cast<std::uint8_t>(step - 2);
      continue;
    }
    int run = step == 0 ? 1 : step == 1 ? static_cast<int>(bits_.Get(4)) + 3
                                        : static_cast<int>(bits_.Get(kLiteralCountBits)) + 20;
    if (i + run > n) Broken("a run of unused symbols past the table");
    i += run;  // lengths[] is zero there already
  }
  if (!symbols_.Build(lengths.data(), kLiteralLengthSymbols)) Broken("an impossible code table");
}

}  // namespace kb::lzh
