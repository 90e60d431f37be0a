#include "lzh/tests/old_formats.h"

#include <algorithm>
#include <array>
#include <bit>

#include "lzh/bit_io.h"
#include "lzh/crc16.h"
#include "lzh/huffman.h"
#include "lzh/lh5_format.h"
#include "lzh/lh1_tree.h"
#include "lzh/lzss_decoder.h"
#include "lzh/stream.h"

namespace kb::lzh::testing {
namespace {

// Greedy LZSS over the ring before the data and the data itself: index v
// of the whole is ring place (start + v - ringSize) & mask.
class Matcher {
 public:
  Matcher(const Bytes& ringBefore, const Bytes& data, int maxDistance, int maxLength)
      : all_(ringBefore), ring_(ringBefore.size()), maxDistance_(maxDistance), maxLength_(maxLength) {
    all_.insert(all_.end(), data.begin(), data.end());
    head_.assign(1 << 16, -1);
    prev_.assign(all_.size(), -1);
    for (std::size_t i = 0; i < ring_; ++i) Insert(i);
  }
  bool Done() const { return pos_ >= all_.size(); }
  std::uint8_t Byte() const { return all_[pos_]; }
  // The longest match at the current place: its length (0 for none) and
  // the index it starts at.
  int Find(std::size_t* from) const {
    int best = 0;
    const int limit = static_cast<int>(std::min<std::size_t>(maxLength_, all_.size() - pos_));
    if (limit < 2) return 0;
    int tries = 256;
    for (long c = head_[Hash(pos_)]; c >= 0 && tries-- > 0; c = prev_[c]) {
      if (pos_ - static_cast<std::size_t>(c) > static_cast<std::size_t>(maxDistance_)) break;
      int n = 0;
      while (n < limit && all_[c + n] == all_[pos_ + n]) ++n;
      if (n > best) {
        best = n;
        *from = static_cast<std::size_t>(c);
      }
    }
    return best;
  }
  void Advance(int n) {
    for (int i = 0; i < n; ++i) Insert(pos_++);
  }
  std::size_t ringSize() const { return ring_; }
  std::size_t pos() const { return pos_; }

 private:
  std::size_t Hash(std::size_t i) const {
    if (i + 1 >= all_.size()) return 0;
    return (all_[i] << 8 | all_[i + 1]) & 0xFFFF;
  }
  void Insert(std::size_t i) {
    if (i + 1 >= all_.size()) return;
    std::size_t h = Hash(i);
    prev_[i] = head_[h];
    head_[h] = static_cast<long>(i);
  }
  Bytes all_;
  std::size_t ring_;
  std::size_t pos_ = ring_;
  int maxDistance_;
  int maxLength_;
  std::vector<long> head_;
  std::vector<long> prev_;
};

// The ring in the order its places are written, oldest first: place
// (start + k) & mask for k = 0 … size - 1.
Bytes RingBefore(const Bytes& ring, std::size_t start) {
  Bytes out(ring.size());
  for (std::size_t k = 0; k < ring.size(); ++k) out[k] = ring[(start + k) & (ring.size() - 1)];
  return out;
}

}  // namespace

Bytes EncodeLzs(const Bytes& data) {
  const std::size_t size = 2048;
  const std::size_t start = size - 17;
  MemoryOutput out;
  BitWriter bits(out);
  Matcher m(Bytes(size, ' '), data, static_cast<int>(size) - 17, 17);
  while (!m.Done()) {
    std::size_t from = 0;
    int n = m.Find(&from);
    if (n >= 2) {
      bits.Put(0, 1);
      bits.Put(static_cast<std::uint32_t>((start + from - size) & (size - 1)), 11);
      bits.Put(static_cast<std::uint32_t>(n - 2), 4);
      m.Advance(n);
    } else {
      bits.Put(1, 1);
      bits.Put(m.Byte(), 8);
      m.Advance(1);
    }
  }
  bits.Flush();
  return out.bytes();
}

Bytes EncodeLz5(const Bytes& data) {
  const std::size_t size = 4096;
  const std::size_t start = size - 18;
  Bytes ring(size);
  FillLz5Ring(ring.data());
  Matcher m(RingBefore(ring, start), data, static_cast<int>(size) - 18, 18);
  Bytes out;
  while (!m.Done()) {
    const std::size_t flagAt = out.size();
    out.push_back(0);
    for (int k = 0; k < 8 && !m.Done(); ++k) {
      std::size_t from = 0;
      int n = m.Find(&from);
      if (n >= 3) {
        const std::size_t place = (start + from - size) & (size - 1);
        out.push_back(static_cast<std::uint8_t>(place));
        out.push_back(static_cast<std::uint8_t>((place >> 4 & 0xF0) | (n - 3)));
        m.Advance(n);
      } else {
        out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | 1 << k);
        out.push_back(m.Byte());
        m.Advance(1);
      }
    }
  }
  return out;
}

Bytes EncodeLh1(const Bytes& data) {
  MemoryOutput out;
  BitWriter bits(out);
  Lh1Tree tree;
  const Lh1DistanceCode& code = Lh1Distances();
  auto put = [&](int symbol) {
    std::vector<int> path;
    for (int node = tree.LeafNode(symbol); node != Lh1Tree::kRoot; node = tree.Parent(node)) {
      path.push_back(node - tree.Child(tree.Parent(node)));
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it) bits.Put(static_cast<std::uint32_t>(*it), 1);
    tree.Update(symbol);
  };
  Matcher m(Bytes(4096, ' '), data, 4096 - 60, 60);
  while (!m.Done()) {
    std::size_t from = 0;
    int n = m.Find(&from);
    if (n >= 3) {
      put(256 + n - 3);
      const std::size_t d = m.pos() - from - 1;
      bits.Put(code.code[d >> 6], code.length[d >> 6]);
      bits.Put(static_cast<std::uint32_t>(d & 63), 6);
      m.Advance(n);
    } else {
      put(m.Byte());
      m.Advance(1);
    }
  }
  bits.Flush();
  return out.bytes();
}

namespace {

// Completes a code over n symbols: the lengths already set stay, the others
// share what is left of the code space at longLength - 1 and longLength
// bits (x and y of them: 2x + y = left, x + y = rest).
void CompleteCode(std::uint8_t* lengths, int n, int longLength) {
  std::uint32_t left = 1u << longLength;
  int rest = 0;
  for (int i = 0; i < n; ++i) {
    if (lengths[i] != 0) {
      left -= 1u << (longLength - lengths[i]);
    } else {
      ++rest;
    }
  }
  int x = static_cast<int>(left) - rest;
  for (int i = 0; i < n; ++i) {
    if (lengths[i] == 0) lengths[i] = static_cast<std::uint8_t>(x-- > 0 ? longLength - 1 : longLength);
  }
}

}  // namespace

void FullTableLh5Writer::SmallTable(const std::uint8_t* lengths, int n, int countBits, int special) {
  bits_.Put(static_cast<std::uint32_t>(n), countBits);
  for (int i = 0; i < n; ++i) {
    const int len = lengths[i];
    if (len <= 6) {
      bits_.Put(static_cast<std::uint32_t>(len), 3);
    } else {
      bits_.Put(7, 3);
      bits_.Put(((1u << (len - 7)) - 1) << 1, len - 6);
    }
    if (i + 1 == special) bits_.Put(0, 2);  // no zero lengths to skip
  }
}

void FullTableLh5Writer::Block(const std::vector<Token>& tokens) {
  constexpr int kDistances = kLh5Shape.distanceSymbols;
  std::array<std::uint8_t, kLiteralLengthSymbols> main{};
  main[0] = 2;
  main[kLiteralLengthSymbols - 1] = 1;
  if (changing_) {
    for (int k = 0; k < 4; ++k) main[1 + (block_ * 4 + k) % (kLiteralLengthSymbols - 2)] = 10;
  }
  CompleteCode(main.data(), kLiteralLengthSymbols, 11);
  std::array<std::uint8_t, kHelperSymbols> helper{};
  CompleteCode(helper.data(), kHelperSymbols, 5);
  std::array<std::uint8_t, kDistances> dist{};
  CompleteCode(dist.data(), kDistances, 4);
  std::array<std::uint16_t, kLiteralLengthSymbols> mainCodes{};
  std::array<std::uint16_t, kHelperSymbols> helperCodes{};
  std::array<std::uint16_t, kDistances> distCodes{};
  AssignCodes(main.data(), kLiteralLengthSymbols, mainCodes.data());
  AssignCodes(helper.data(), kHelperSymbols, helperCodes.data());
  AssignCodes(dist.data(), kDistances, distCodes.data());

  bits_.Put(static_cast<std::uint32_t>(tokens.size()), 16);
  SmallTable(helper.data(), kHelperSymbols, kHelperCountBits, kHelperSpecialIndex);
  bits_.Put(kLiteralLengthSymbols, kLiteralCountBits);
  for (std::uint8_t len : main) bits_.Put(helperCodes[len + 2], helper[len + 2]);
  SmallTable(dist.data(), kDistances, kLh5Shape.distanceCountBits, -1);
  for (const Token& t : tokens) {
    bits_.Put(mainCodes[t.symbol], main[t.symbol]);
    if (t.symbol < 256) continue;
    const unsigned d = t.distance;
    const int p = d == 0 ? 0 : static_cast<int>(std::bit_width(d));
    bits_.Put(distCodes[p], dist[p]);
    if (p > 1) bits_.Put(d, p - 1);
  }
  ++block_;
}

Bytes EncodeLh5FullTables(const Bytes& data, int blockTokens, bool changing) {
  MemoryOutput out;
  FullTableLh5Writer writer(out, changing);
  // Copies reach back only into the data itself: a reference into the
  // window's first blanks is read by lhasa, but not by 7-Zip.
  const std::size_t window = std::size_t{1} << kLh5Shape.dictBits;
  Matcher m(Bytes(), data, static_cast<int>(window), kMaxMatch);
  std::vector<FullTableLh5Writer::Token> tokens;
  while (!m.Done()) {
    std::size_t from = 0;
    const int n = m.Find(&from);
    if (n >= kMinMatch) {
      tokens.push_back({static_cast<std::uint16_t>(256 + n - kMinMatch), static_cast<std::uint16_t>(m.pos() - from - 1)});
      m.Advance(n);
    } else {
      tokens.push_back({m.Byte(), 0});
      m.Advance(1);
    }
    if (static_cast<int>(tokens.size()) == blockTokens) {
      writer.Block(tokens);
      tokens.clear();
    }
  }
  if (!tokens.empty()) writer.Block(tokens);
  writer.Finish();
  return out.bytes();
}

namespace {

void Put(Bytes& b, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Set(Bytes& b, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The fixed fields from the method to the level byte.
void Common(Bytes& b, const OldMember& m, std::uint64_t packedSize, std::uint8_t byte19) {
  b.insert(b.end(), m.method.begin(), m.method.begin() + 5);
  Put(b, packedSize, 4);
  Put(b, m.original.size(), 4);
  Put(b, m.stamp, 4);
  b.push_back(byte19);
  b.push_back(static_cast<std::uint8_t>(m.level));
}

Bytes Level01(const OldMember& m) {
  Bytes ext;
  for (const Extension& e : m.extensions) {
    if (m.level == 0) {
      ext.insert(ext.end(), e.data.begin(), e.data.end());
      continue;
    }
    Put(ext, e.data.size() + 3, 2);
    ext.push_back(e.type);
    ext.insert(ext.end(), e.data.begin(), e.data.end());
  }
  const std::uint16_t crc = UpdateCrc16(0, m.original.data(), m.original.size());
  Bytes b = {0, 0};
  Common(b, m, m.packed.size() + (m.level == 1 ? ext.size() : 0), m.level == 1 ? 0x20 : 0x20);
  b.push_back(static_cast<std::uint8_t>(m.name.size()));
  b.insert(b.end(), m.name.begin(), m.name.end());
  Put(b, crc, 2);
  if (m.level == 0) {
    b.insert(b.end(), ext.begin(), ext.end());
  } else {
    b.push_back(m.os);
    // The first extension's size ends the base header; each extension
    // ends with the next one's.
    std::size_t first = m.extensions.empty() ? 0 : m.extensions[0].data.size() + 3;
    Put(b, first, 2);
  }
  b[0] = static_cast<std::uint8_t>(b.size() - 2);
  unsigned sum = 0;
  for (std::size_t i = 2; i < b.size(); ++i) sum += b[i];
  b[1] = static_cast<std::uint8_t>(sum);
  if (m.level == 1) {
    // Re-chain: [type][data][next size], the last one's next size zero.
    for (std::size_t i = 0; i < m.extensions.size(); ++i) {
      const Extension& e = m.extensions[i];
      b.push_back(e.type);
      b.insert(b.end(), e.data.begin(), e.data.end());
      Put(b, i + 1 < m.extensions.size() ? m.extensions[i + 1].data.size() + 3 : 0, 2);
    }
  }
  return b;
}

Bytes Level23(const OldMember& m) {
  const int field = m.level == 3 ? 4 : 2;
  std::vector<Extension> exts;
  if (m.headerCrc) exts.push_back({0x00, {0, 0}});
  exts.push_back({0x01, Bytes(m.name.begin(), m.name.end())});
  exts.insert(exts.end(), m.extensions.begin(), m.extensions.end());
  Bytes b;
  Put(b, m.level == 3 ? 4 : 0, 2);
  Common(b, m, m.packed.size(), 0x20);
  Put(b, UpdateCrc16(0, m.original.data(), m.original.size()), 2);
  b.push_back(m.os);
  if (m.level == 3) Put(b, 0, 4);  // the header size, set below
  std::size_t crcAt = 0;
  for (const Extension& e : exts) {
    Put(b, e.data.size() + 1 + field, field);
    b.push_back(e.type);
    if (e.type == 0x00) crcAt = b.size();
    b.insert(b.end(), e.data.begin(), e.data.end());
  }
  Put(b, 0, field);
  if (m.level == 3) {
    Set(b, 24, b.size(), 4);
  } else {
    Set(b, 0, b.size(), 2);
  }
  if (m.headerCrc) Set(b, crcAt, UpdateCrc16(0, b.data(), b.size()), 2);
  return b;
}

}  // namespace

Bytes WriteOldMember(const OldMember& m) {
  Bytes b = m.level <= 1 ? Level01(m) : Level23(m);
  b.insert(b.end(), m.packed.begin(), m.packed.end());
  return b;
}

Bytes OldArchive(const std::vector<OldMember>& members) {
  Bytes out;
  for (const OldMember& m : members) {
    Bytes b = WriteOldMember(m);
    out.insert(out.end(), b.begin(), b.end());
  }
  out.push_back(0);
  return out;
}

}  // namespace kb::lzh::testing
