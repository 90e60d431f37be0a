#include "lzh/huffman.h"

#include <algorithm>
#include <queue>
#include <utility>

namespace kb::lzh {
namespace {

// Depths of a plain Huffman tree over the used symbols; returns the deepest.
int TreeDepths(const std::vector<std::uint32_t>& weight, const std::vector<int>& used,
               std::uint8_t* lengths) {
  const int leaves = static_cast<int>(used.size());
  std::vector<int> parent(2 * leaves - 1, -1);
  using Item = std::pair<std::uint64_t, int>;  // weight, node; ties by node number
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
  for (int i = 0; i < leaves; ++i) queue.emplace(weight[used[i]], i);
  int next = leaves;
  while (queue.size() > 1) {
    Item a = queue.top();
    queue.pop();
    Item b = queue.top();
    queue.pop();
    parent[a.second] = parent[b.second] = next;
    queue.emplace(a.first + b.first, next++);
  }
  // Parents are made after their children, so walking down from the root
  // sees every parent's depth first.
  std::vector<int> depth(2 * leaves - 1, 0);
  for (int node = next - 2; node >= 0; --node) depth[node] = depth[parent[node]] + 1;
  int deepest = 0;
  for (int i = 0; i < leaves; ++i) {
    lengths[used[i]] = static_cast<std::uint8_t>(std::min(depth[i], 255));
    deepest = std::max(deepest, depth[i]);
  }
  return deepest;
}

}  // namespace

void BuildCodeLengths(const std::uint32_t* freq, int count, int maxBits, std::uint8_t* lengths) {
  std::fill(lengths, lengths + count, 0);
  std::vector<int> used;
  for (int i = 0; i < count; ++i) {
    if (freq[i] != 0) used.push_back(i);
  }
  if (used.size() < 2) return;
  std::vector<std::uint32_t> weight(freq, freq + count);
  // Too deep a tree comes only from very skewed counts; flattening them
  // (halving, never to zero) until it fits costs next to nothing and always
  // ends: equal weights give a balanced tree of 9 levels at most.
  while (TreeDepths(weight, used, lengths) > maxBits) {
    for (int i : used) weight[i] = std::max<std::uint32_t>(1, weight[i] >> 1);
  }
}

void AssignCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
  std::array<std::uint32_t, kMaxCodeBits + 2> next{};
  std::array<std::uint32_t, kMaxCodeBits + 1> perLength{};
  for (int i = 0; i < count; ++i) {
    if (lengths[i] != 0) ++perLength[lengths[i]];
  }
  std::uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    next[len] = code;
    code = (code + perLength[len]) << 1;
  }
  for (int i = 0; i < count; ++i) {
    codes[i] = lengths[i] != 0 ? static_cast<std::uint16_t>(next[lengths[i]]++) : 0;
  }
}

bool HuffmanDecoder::Build(const std::uint8_t* lengths, int count) {
  // Trailing unused symbols do not change the code.
  while (count > 0 && lengths[count - 1] == 0) --count;
  if (single_ < 0 && static_cast<int>(built_.size()) == count &&
      std::equal(built_.begin(), built_.end(), lengths)) {
    return true;
  }
  built_.clear();
  single_ = -1;
  count_.fill(0);
  maxLength_ = 0;
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > kMaxCodeBits) return false;
    if (lengths[i] != 0) ++count_[lengths[i]];
    maxLength_ = std::max<int>(maxLength_, lengths[i]);
  }
  std::uint32_t space = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) space += count_[len] << (kMaxCodeBits - len);
  if (space > (1u << kMaxCodeBits)) return false;

  std::uint32_t code = 0;
  std::uint32_t index = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    first_[len] = code;
    offset_[len] = index;
    index += count_[len];
    code = (code + count_[len]) << 1;
  }
  sorted_.resize(index);
  std::array<std::uint32_t, kMaxCodeBits + 1> fill = offset_;
  const int fastBits = std::min(std::max(maxLength_, 1), kFastBits);
  fastShift_ = 16 - fastBits;
  std::fill_n(fast_.begin(), std::size_t{1} << fastBits, std::uint16_t{0});
  for (int i = 0; i < count; ++i) {
    int len = lengths[i];
    if (len == 0) continue;
    std::uint32_t rank = fill[len]++;
    sorted_[rank] = static_cast<std::uint16_t>(i);
    if (len <= fastBits) {
      std::uint32_t symbolCode = first_[len] + (rank - offset_[len]);
      std::uint32_t start = symbolCode << (fastBits - len);
      std::uint32_t span = 1u << (fastBits - len);
      std::fill_n(fast_.begin() + start, span, static_cast<std::uint16_t>(kValid | len << kLengthShift | i));
    }
  }
  built_.assign(lengths, lengths + count);
  return true;
}

void HuffmanDecoder::BuildSingle(int symbol) {
  single_ = symbol;
  built_.clear();
  // Every peek lands on entry 0, which takes no bits.
  fastShift_ = 16;
  maxLength_ = 0;
  fast_[0] = static_cast<std::uint16_t>(kValid | symbol);
}

int HuffmanDecoder::DecodeLong(std::uint32_t peek16, int* bits) const {
  for (int len = kFastBits + 1; len <= maxLength_; ++len) {
    std::uint32_t code = peek16 >> (kMaxCodeBits - len);
    std::uint32_t rank = code - first_[len];
    if (rank < count_[len]) {
      *bits = len;
      return sorted_[offset_[len] + rank];
    }
  }
  return -1;
}

}  // namespace kb::lzh
