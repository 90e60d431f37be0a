// The adaptive Huffman code of -lh1-: a tree of 314 leaves kept ordered by
// frequency, every coded symbol counted and the tree mended at once, halved
// and rebuilt when the root's count reaches 0x8000.  Shared by the decoder
// and the tests' encoder, which must mend it in the same steps.
#pragma once

#include <array>
#include <cstdint>

namespace kb::lzh {

class Lh1Tree {
 public:
  static constexpr int kSymbols = 256 + 60 - 3 + 1;  // literals, then lengths 3-60
  static constexpr int kNodes = 2 * kSymbols - 1;
  static constexpr int kRoot = kNodes - 1;

  Lh1Tree();

  // Walking down: the first child of an internal node (the second follows
  // it); a value of kNodes + s or more is the leaf of symbol s.
  int Child(int node) const { return child_[node]; }
  // Walking up (the encoder): the node of a symbol's leaf, a node's parent.
  int LeafNode(int symbol) const { return parent_[kNodes + symbol]; }
  int Parent(int node) const { return parent_[node]; }

  // Counts one more of symbol and restores the order.
  void Update(int symbol);

 private:
  void Rebuild();

  std::array<std::uint16_t, kNodes + 1> freq_{};  // one more: a sentinel
  std::array<std::uint16_t, kNodes> child_{};
  std::array<std::uint16_t, kNodes + kSymbols> parent_{};
};

// The fixed code of a -lh1- distance's top 6 bits: 1 value of 3 bits, 3 of
// 4, 8 of 5, 12 of 6, 24 of 7, 16 of 8, canonical in value order.
struct Lh1DistanceCode {
  std::array<std::uint8_t, 64> code{};
  std::array<std::uint8_t, 64> length{};
  std::array<std::uint8_t, 256> valueOf{};  // by the next 8 bits
};
const Lh1DistanceCode& Lh1Distances();

}  // namespace kb::lzh
