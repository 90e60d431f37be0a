// CRC-16 and the Huffman code builder and decoder.
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>

#include "lzh/crc16.h"
#include "lzh/huffman.h"

namespace kb::lzh {
namespace {

std::uint16_t BitwiseCrc(const std::uint8_t* data, std::size_t size) {
  unsigned c = 0;
  for (std::size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
  }
  return static_cast<std::uint16_t>(c);
}

TEST(Crc16, CheckValueAndEveryLengthAndSplit) {
  const std::string check = "123456789";
  EXPECT_EQ(UpdateCrc16(0, reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0xBB3D);
  std::mt19937 rng(7);
  std::vector<std::uint8_t> data(300);
  for (auto& b : data) b = static_cast<std::uint8_t>(rng());
  for (std::size_t n = 0; n < data.size(); n += 7) {
    std::size_t cut = n / 3;
    std::uint16_t split = UpdateCrc16(UpdateCrc16(0, data.data(), cut), data.data() + cut, n - cut);
    EXPECT_EQ(split, BitwiseCrc(data.data(), n)) << n;
  }
}

// Kraft sum of a length table in units of 2^-16.
std::uint32_t Kraft(const std::vector<std::uint8_t>& lengths) {
  std::uint32_t sum = 0;
  for (std::uint8_t len : lengths) sum += len != 0 ? 1u << (16 - len) : 0;
  return sum;
}

TEST(HuffmanLengths, CompleteAndLimitedForSkewedCounts) {
  struct Case {
    const char* what;
    std::vector<std::uint32_t> freq;
  };
  std::vector<Case> cases;
  std::vector<std::uint32_t> fib(40);
  fib[0] = fib[1] = 1;
  for (std::size_t i = 2; i < fib.size(); ++i) fib[i] = fib[i - 1] + fib[i - 2];
  cases.push_back({"fibonacci counts (a 39-deep tree unlimited)", fib});
  std::vector<std::uint32_t> even(510, 3);
  cases.push_back({"510 equal counts", even});
  std::vector<std::uint32_t> two(510, 0);
  two[0] = 1;
  two[509] = 60000;
  cases.push_back({"two symbols", two});
  for (const Case& c : cases) {
    std::vector<std::uint8_t> lengths(c.freq.size());
    BuildCodeLengths(c.freq.data(), static_cast<int>(c.freq.size()), kMaxCodeBits, lengths.data());
    EXPECT_EQ(Kraft(lengths), 1u << 16) << c.what;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
      EXPECT_EQ(lengths[i] != 0, c.freq[i] != 0) << c.what << " symbol " << i;
      EXPECT_LE(lengths[i], kMaxCodeBits) << c.what;
    }
  }
}

TEST(HuffmanLengths, OneOrNoUsedSymbolGivesNoLengths) {
  std::vector<std::uint32_t> freq(19, 0);
  std::vector<std::uint8_t> lengths(19, 9);
  BuildCodeLengths(freq.data(), 19, 16, lengths.data());
  EXPECT_EQ(Kraft(lengths), 0u);
  freq[5] = 100;
  BuildCodeLengths(freq.data(), 19, 16, lengths.data());
  EXPECT_EQ(Kraft(lengths), 0u);
}

// Puts each code in front of padding and checks the decoder names its symbol.
TEST(HuffmanDecoder, DecodesEveryCanonicalCode) {
  std::mt19937 rng(3);
  std::vector<std::uint32_t> freq(510);
  for (auto& f : freq) f = rng() % 3 == 0 ? 0 : 1 + (rng() % 1000) * (rng() % 1000);
  std::vector<std::uint8_t> lengths(510);
  std::vector<std::uint16_t> codes(510);
  BuildCodeLengths(freq.data(), 510, 16, lengths.data());
  AssignCodes(lengths.data(), 510, codes.data());
  ASSERT_GT(*std::max_element(lengths.begin(), lengths.end()), 10) << "the slow path must be used too";
  HuffmanDecoder decoder;
  ASSERT_TRUE(decoder.Build(lengths.data(), 510));
  for (int s = 0; s < 510; ++s) {
    if (lengths[s] == 0) continue;
    std::uint32_t peek = static_cast<std::uint32_t>(codes[s]) << (16 - lengths[s]);
    peek |= (rng() & 0xFFFF) >> lengths[s];  // whatever follows the code
    int bits = 0;
    EXPECT_EQ(decoder.Decode(peek, &bits), s);
    EXPECT_EQ(bits, lengths[s]);
  }
}

TEST(HuffmanDecoder, RefusesOversubscribedAndTooLongTables) {
  HuffmanDecoder decoder;
  const std::uint8_t three1[] = {1, 1, 1};
  EXPECT_FALSE(decoder.Build(three1, 3));
  const std::uint8_t tooLong[] = {1, 17};
  EXPECT_FALSE(decoder.Build(tooLong, 2));
  // Incomplete: one 1-bit code; the other half of the code space names nothing.
  const std::uint8_t half[] = {0, 1};
  ASSERT_TRUE(decoder.Build(half, 2));
  int bits = 0;
  EXPECT_EQ(decoder.Decode(0x0000, &bits), 1);
  EXPECT_EQ(decoder.Decode(0x8000, &bits), -1);
  decoder.BuildSingle(7);
  EXPECT_EQ(decoder.Decode(0xFFFF, &bits), 7);
  EXPECT_EQ(bits, 0);
}

// Tables are built again only when they change; a change in one length,
// in the count, or to and from the one-symbol form must be seen.
TEST(HuffmanDecoder, BuildsAgainWhateverChanged) {
  HuffmanDecoder decoder;
  const std::uint8_t a[] = {1, 2, 2};
  const std::uint8_t b[] = {2, 2, 1};
  const std::uint8_t longer[] = {1, 2, 3, 3};
  struct Step {
    const std::uint8_t* lengths;
    int count;
    int single;
    std::uint32_t peek;
    int symbol;
    int bits;
  } steps[] = {
      {a, 3, -1, 0xC000, 2, 2},      {b, 3, -1, 0xC000, 1, 2}, {a, 3, -1, 0xC000, 2, 2},
      {nullptr, 0, 1, 0xC000, 1, 0}, {a, 3, -1, 0x0000, 0, 1}, {longer, 4, -1, 0xE000, 3, 3},
      {a, 3, -1, 0xE000, 2, 2},      {nullptr, 0, 0, 0x0000, 0, 0}, {nullptr, 0, 2, 0x0000, 2, 0},
  };
  for (const Step& s : steps) {
    if (s.lengths == nullptr) {
      decoder.BuildSingle(s.single);
    } else {
      ASSERT_TRUE(decoder.Build(s.lengths, s.count));
    }
    int bits = -1;
    EXPECT_EQ(decoder.Decode(s.peek, &bits), s.symbol) << &s - steps;
    EXPECT_EQ(bits, s.bits) << &s - steps;
  }
}

}  // namespace
}  // namespace kb::lzh
