#include "common/values.h"

namespace kb {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to 8 significant hex digits as a 32-bit pattern.
bool ParseHex(std::string_view digits, uint32_t& out) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  out = static_cast<uint32_t>(v);
  return true;
}

bool ParseDecimal(std::string_view digits, bool negative, int32_t& out) {
  if (digits.empty()) return false;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > limit) return false;
  }
  out = static_cast<int32_t>(negative ? -v : v);
  return true;
}

}  // namespace

int32_t ParseProfileInteger(std::string_view text, int32_t def) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint32_t bits = 0;
    return ParseHex(text.substr(2), bits) ? static_cast<int32_t>(bits) : def;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '$') {
    uint32_t bits = 0;
    if (!ParseHex(text.substr(1), bits)) return def;
    // Negating in unsigned arithmetic wraps like the 32-bit pattern does.
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  int32_t value = 0;
  return ParseDecimal(text, negative, value) ? value : def;
}

std::string FormatProfileInteger(int32_t value) { return std::to_string(value); }

uint8_t ToByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

}  // namespace kb
