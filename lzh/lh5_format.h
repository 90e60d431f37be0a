// Shared constants of the -lhN- methods (LZSS + static Huffman blocks).
#pragma once

namespace kb::lzh {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
// Literals 0-255, then match lengths 3-256.
constexpr int kLiteralLengthSymbols = 256 + kMaxMatch - kMinMatch + 1;  // 510
// The helper table that codes the main table's lengths: one zero, a run of
// zeros with 4 extra bits (3-18), a run with 9 extra bits (20-531), and the
// lengths 1-16 as symbols 3-18.
constexpr int kHelperSymbols = 19;
constexpr int kLiteralCountBits = 9;
constexpr int kHelperCountBits = 5;
constexpr int kHelperSpecialIndex = 3;

// What differs between -lh4- … -lh7-: the window and the distance table.
struct MethodShape {
  int dictBits;       // window of 2^dictBits bytes
  int distanceSymbols;
  int distanceCountBits;
};

constexpr MethodShape kLh5Shape{13, 14, 4};

}  // namespace kb::lzh
