#include "lzh/lh1_tree.h"

#include <algorithm>

namespace kb::lzh {
namespace {

constexpr std::uint16_t kRebuildAt = 0x8000;

Lh1DistanceCode MakeDistanceCode() {
  constexpr int kPerLength[] = {1, 3, 8, 12, 24, 16};  // lengths 3 … 8
  Lh1DistanceCode c;
  unsigned code = 0;
  int value = 0;
  for (int i = 0; i < 6; ++i) {
    const int len = 3 + i;
    for (int k = 0; k < kPerLength[i]; ++k, ++value, ++code) {
      c.code[value] = static_cast<std::uint8_t>(code);
      c.length[value] = static_cast<std::uint8_t>(len);
      const unsigned span = 1u << (8 - len);
      std::fill_n(c.valueOf.begin() + (code << (8 - len)), span, static_cast<std::uint8_t>(value));
    }
    code <<= 1;
  }
  return c;
}

}  // namespace

const Lh1DistanceCode& Lh1Distances() {
  static const Lh1DistanceCode code = MakeDistanceCode();
  return code;
}

// Leaves first, each counted once; every internal node joins the next two
// nodes, so frequencies never fall along the array.
Lh1Tree::Lh1Tree() {
  for (int i = 0; i < kSymbols; ++i) {
    freq_[i] = 1;
    child_[i] = static_cast<std::uint16_t>(i + kNodes);
    parent_[i + kNodes] = static_cast<std::uint16_t>(i);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    child_[j] = static_cast<std::uint16_t>(i);
    parent_[i] = parent_[i + 1] = static_cast<std::uint16_t>(j);
  }
  freq_[kNodes] = 0xFFFF;
  parent_[kRoot] = 0;
}

void Lh1Tree::Update(int symbol) {
  if (freq_[kRoot] == kRebuildAt) Rebuild();
  int c = parent_[symbol + kNodes];
  do {
    const std::uint16_t k = ++freq_[c];
    // A node that now outweighs its right neighbour swaps with the last
    // node of the run it leaves, which keeps the order.
    if (k > freq_[c + 1]) {
      int l = c + 1;
      while (k > freq_[l + 1]) ++l;
      freq_[c] = freq_[l];
      freq_[l] = k;
      const int i = child_[c];
      parent_[i] = static_cast<std::uint16_t>(l);
      if (i < kNodes) parent_[i + 1] = static_cast<std::uint16_t>(l);
      const int j = child_[l];
      child_[l] = static_cast<std::uint16_t>(i);
      parent_[j] = static_cast<std::uint16_t>(c);
      if (j < kNodes) parent_[j + 1] = static_cast<std::uint16_t>(c);
      child_[c] = static_cast<std::uint16_t>(j);
      c = l;
    }
    c = parent_[c];
  } while (c != 0);
}

// Halves the leaves' counts (rounding up) and builds the tree again: each
// new internal node goes after every node that does not outweigh it.
void Lh1Tree::Rebuild() {
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (child_[i] >= kNodes) {
      freq_[j] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
      child_[j] = child_[i];
      ++j;
    }
  }
  for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
    const std::uint16_t f = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    int k = n - 1;
    while (f < freq_[k]) --k;
    ++k;
    std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
    std::copy_backward(child_.begin() + k, child_.begin() + n, child_.begin() + n + 1);
    freq_[k] = f;
    child_[k] = static_cast<std::uint16_t>(i);
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = child_[i];
    parent_[k] = static_cast<std::uint16_t>(i);
    if (k < kNodes) parent_[k + 1] = static_cast<std::uint16_t>(i);
  }
}

}  // namespace kb::lzh
