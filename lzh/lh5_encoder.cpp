#include "lzh/lh5_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "lzh/huffman.h"

namespace kb::lzh {
namespace {

// Search effort, chosen on a mixed 10 MiB sample for a ratio close to the
// classic archivers at the speed of gzip -6 (bench/lzh).
constexpr int kMaxChain = 64;
constexpr int kGoodLength = 16;   // a pending match this long: search a quarter as far
constexpr int kLazyLength = 64;   // a pending match this long: do not look for a better one
constexpr int kNiceLength = 200;  // stop searching at a match this long
constexpr int kTooFar = 4096;     // a 3-byte match further back costs more than 3 literals

int DistanceSymbol(unsigned d) { return d == 0 ? 0 : static_cast<int>(std::bit_width(d)); }

int MatchLength(const std::uint8_t* a, const std::uint8_t* b, int limit) {
  int n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (n + 8 <= limit) {
      std::uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + std::countr_zero(x ^ y) / 8;
      n += 8;
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

}  // namespace

Lh5Encoder::Lh5Encoder(OutputFile& out, int blockTokens)
    : bits_(out),
      blockTokens_(static_cast<std::size_t>(blockTokens)),
      buffer_(kBufferSize),
      head_(1 << kHashBits, -1),
      prev_(kDictSize, -1) {
  symbols_.reserve(blockTokens_);
  distances_.reserve(blockTokens_);
}

void Lh5Encoder::Write(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    std::size_t n = std::min<std::size_t>(size, static_cast<std::size_t>(kBufferSize - end_));
    std::memcpy(buffer_.data() + end_, data, n);
    end_ += static_cast<int>(n);
    data += n;
    size -= n;
    if (end_ == kBufferSize) {
      Encode(false);
      Slide();
    }
  }
}

void Lh5Encoder::Finish() {
  Encode(true);
  if (pendingLiteral_) {
    EmitLiteral(buffer_[pos_ - 1]);
    pendingLiteral_ = false;
  }
  if (!symbols_.empty()) WriteBlock();
  bits_.Flush();
}

// Keeps the window behind the next position (one more for a pending match)
// and moves it to the front; positions in the hash chains move with it.
void Lh5Encoder::Slide() {
  int keepFrom = pos_ - 1 - kDictSize;
  int delta = keepFrom > 0 ? keepFrom / kDictSize * kDictSize : 0;
  if (delta == 0) return;
  std::memmove(buffer_.data(), buffer_.data() + delta, static_cast<std::size_t>(end_ - delta));
  pos_ -= delta;
  end_ -= delta;
  // delta is a multiple of the window, so prev_ keeps its slots.
  for (auto* table : {&head_, &prev_}) {
    for (std::int32_t& p : *table) p = p >= delta ? p - delta : -1;
  }
}

void Lh5Encoder::Insert(int pos) {
  std::uint32_t key = static_cast<std::uint32_t>(buffer_[pos]) |
                      static_cast<std::uint32_t>(buffer_[pos + 1]) << 8 |
                      static_cast<std::uint32_t>(buffer_[pos + 2]) << 16;
  std::uint32_t h = (key * 2654435761u) >> (32 - kHashBits);
  prev_[pos & (kDictSize - 1)] = head_[h];
  head_[h] = pos;
}

// The longest match longer than atLeast starting at pos (inserted already),
// or 0.
int Lh5Encoder::FindMatch(int pos, int atLeast, int* distance) {
  const int limit = std::min(kMaxMatch, end_ - pos);
  int best = std::max(atLeast, kMinMatch - 1);
  if (best >= limit) return 0;
  int chain = atLeast >= kGoodLength ? kMaxChain / 4 : kMaxChain;
  const std::uint8_t* here = buffer_.data() + pos;
  int found = 0;
  int cand = prev_[pos & (kDictSize - 1)];
  while (cand >= 0 && chain-- > 0) {
    int dist = pos - cand;
    if (dist > kDictSize || dist <= 0) break;
    const std::uint8_t* there = buffer_.data() + cand;
    if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1]) {
      int len = MatchLength(there, here, limit);
      if (len > best && !(len == kMinMatch && dist > kTooFar)) {
        best = len;
        found = len;
        *distance = dist;
        if (len >= std::min(kNiceLength, limit)) break;
      }
    }
    // The slot of a position a whole window back already holds a newer one.
    if (dist == kDictSize) break;
    int next = prev_[cand & (kDictSize - 1)];
    if (next >= cand) break;
    cand = next;
  }
  return found;
}

// Lazy matching: a match is taken only when the next position does not
// start a longer one; otherwise its first byte goes out as a literal.
void Lh5Encoder::Encode(bool final) {
  const int limit = final ? end_ : end_ - kMaxMatch;
  while (pos_ < limit) {
    int length = 0;
    int distance = 0;
    if (end_ - pos_ >= kMinMatch) {
      Insert(pos_);
      if (pendingLength_ < kLazyLength) length = FindMatch(pos_, pendingLength_, &distance);
    }
    if (pendingLength_ >= kMinMatch && length <= pendingLength_) {
      EmitMatch(pendingLength_, pendingDistance_);
      int matchEnd = pos_ - 1 + pendingLength_;
      for (int q = pos_ + 1; q < matchEnd; ++q) {
        if (end_ - q >= kMinMatch) Insert(q);
      }
      pos_ = matchEnd;
      pendingLength_ = 0;
      pendingLiteral_ = false;
      continue;
    }
    if (pendingLiteral_) EmitLiteral(buffer_[pos_ - 1]);
    pendingLiteral_ = true;
    pendingLength_ = length;
    pendingDistance_ = distance;
    ++pos_;
  }
}

void Lh5Encoder::EmitLiteral(std::uint8_t byte) {
  symbols_.push_back(byte);
  ++symbolFreq_[byte];
  if (symbols_.size() == blockTokens_) WriteBlock();
}

void Lh5Encoder::EmitMatch(int length, int distance) {
  int symbol = 256 + length - kMinMatch;
  unsigned d = static_cast<unsigned>(distance - 1);
  symbols_.push_back(static_cast<std::uint16_t>(symbol));
  distances_.push_back(static_cast<std::uint16_t>(d));
  ++symbolFreq_[symbol];
  ++distanceFreq_[DistanceSymbol(d)];
  if (symbols_.size() == blockTokens_) WriteBlock();
}

// A table of the helper or the distance codes: a count, then each length in
// 3 bits (7 and up: 7, one 1-bit per step above, a 0-bit), with a 2-bit
// count of zero lengths after the entry at `special`.
void Lh5Encoder::WriteSmallTable(const std::uint8_t* lengths, int count, int countBits,
                                 int special) {
  int n = count;
  while (n > 0 && lengths[n - 1] == 0) --n;
  bits_.Put(static_cast<std::uint32_t>(n), countBits);
  int i = 0;
  while (i < n) {
    int len = lengths[i++];
    if (len <= 6) {
      bits_.Put(static_cast<std::uint32_t>(len), 3);
    } else {
      bits_.Put(7, 3);
      bits_.Put(((1u << (len - 7)) - 1) << 1, len - 6);
    }
    if (i == special) {
      int zeros = 0;
      while (i < 6 && lengths[i] == 0) {
        ++i;
        ++zeros;
      }
      bits_.Put(static_cast<std::uint32_t>(zeros), 2);
    }
  }
}

namespace {

// Calls emit(helperSymbol, extraBits, extraCount) for each step of the main
// table's lengths: runs of zeros shortened, other lengths as length + 2.
template <typename Emit>
void ForEachHelperStep(const std::uint8_t* lengths, int n, Emit emit) {
  int i = 0;
  while (i < n) {
    int len = lengths[i++];
    if (len != 0) {
      emit(len + 2, 0, 0);
      continue;
    }
    int run = 1;
    while (i < n && lengths[i] == 0) {
      ++i;
      ++run;
    }
    if (run <= 2) {
      for (int k = 0; k < run; ++k) emit(0, 0, 0);
    } else if (run <= 18) {
      emit(1, run - 3, 4);
    } else if (run == 19) {
      emit(0, 0, 0);
      emit(1, 15, 4);
    } else {
      emit(2, run - 20, kLiteralCountBits);
    }
  }
}

int UsedSymbol(const std::uint32_t* freq, int count, int* used) {
  int symbol = 0;
  *used = 0;
  for (int i = 0; i < count; ++i) {
    if (freq[i] != 0) {
      symbol = i;
      ++*used;
    }
  }
  return symbol;
}

}  // namespace

void Lh5Encoder::WriteHelperCodedLengths(const std::uint8_t* lengths, int count) {
  int n = count;
  while (n > 0 && lengths[n - 1] == 0) --n;
  std::array<std::uint32_t, kHelperSymbols> freq{};
  ForEachHelperStep(lengths, n, [&](int symbol, int, int) { ++freq[symbol]; });
  int used = 0;
  int only = UsedSymbol(freq.data(), kHelperSymbols, &used);
  std::array<std::uint8_t, kHelperSymbols> helperLengths{};
  std::array<std::uint16_t, kHelperSymbols> helperCodes{};
  if (used <= 1) {
    bits_.Put(0, kHelperCountBits);
    bits_.Put(static_cast<std::uint32_t>(only), kHelperCountBits);
  } else {
    BuildCodeLengths(freq.data(), kHelperSymbols, kMaxCodeBits, helperLengths.data());
    AssignCodes(helperLengths.data(), kHelperSymbols, helperCodes.data());
    WriteSmallTable(helperLengths.data(), kHelperSymbols, kHelperCountBits, kHelperSpecialIndex);
  }
  bits_.Put(static_cast<std::uint32_t>(n), kLiteralCountBits);
  ForEachHelperStep(lengths, n, [&](int symbol, int extra, int extraBits) {
    bits_.Put(helperCodes[symbol], helperLengths[symbol]);
    if (extraBits > 0) bits_.Put(static_cast<std::uint32_t>(extra), extraBits);
  });
}

void Lh5Encoder::WriteBlock() {
  constexpr int kNp = kLh5Shape.distanceSymbols;
  std::array<std::uint8_t, kLiteralLengthSymbols> symbolLengths{};
  std::array<std::uint16_t, kLiteralLengthSymbols> symbolCodes{};
  std::array<std::uint8_t, kNp> distanceLengths{};
  std::array<std::uint16_t, kNp> distanceCodes{};

  bits_.Put(static_cast<std::uint32_t>(symbols_.size()), 16);
  int used = 0;
  int only = UsedSymbol(symbolFreq_.data(), kLiteralLengthSymbols, &used);
  if (used <= 1) {
    // One symbol: an empty helper table, then the main table's one-symbol form.
    bits_.Put(0, kHelperCountBits);
    bits_.Put(0, kHelperCountBits);
    bits_.Put(0, kLiteralCountBits);
    bits_.Put(static_cast<std::uint32_t>(only), kLiteralCountBits);
  } else {
    BuildCodeLengths(symbolFreq_.data(), kLiteralLengthSymbols, kMaxCodeBits, symbolLengths.data());
    AssignCodes(symbolLengths.data(), kLiteralLengthSymbols, symbolCodes.data());
    WriteHelperCodedLengths(symbolLengths.data(), kLiteralLengthSymbols);
  }
  only = UsedSymbol(distanceFreq_.data(), kNp, &used);
  if (used <= 1) {
    bits_.Put(0, kLh5Shape.distanceCountBits);
    bits_.Put(static_cast<std::uint32_t>(only), kLh5Shape.distanceCountBits);
  } else {
    BuildCodeLengths(distanceFreq_.data(), kNp, kMaxCodeBits, distanceLengths.data());
    AssignCodes(distanceLengths.data(), kNp, distanceCodes.data());
    WriteSmallTable(distanceLengths.data(), kNp, kLh5Shape.distanceCountBits, -1);
  }

  std::size_t match = 0;
  for (std::uint16_t symbol : symbols_) {
    bits_.Put(symbolCodes[symbol], symbolLengths[symbol]);
    if (symbol < 256) continue;
    unsigned d = distances_[match++];
    int p = DistanceSymbol(d);
    bits_.Put(distanceCodes[p], distanceLengths[p]);
    if (p > 1) bits_.Put(d, p - 1);
  }
  symbols_.clear();
  distances_.clear();
  symbolFreq_.fill(0);
  distanceFreq_.fill(0);
}

}  // namespace kb::lzh
