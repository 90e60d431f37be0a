// Value conventions of the settings files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kb {

// Text → 32-bit signed integer.
// - Longer than 2 characters and starting with "0x"/"0X": the rest is hex
//   ("0x" alone is not a number).  A leading "$" also means hex.  A "-" or
//   "+" may stand before "$"; otherwise the text is decimal with an optional
//   sign.
// - Hexadecimal takes up to 8 significant digits as a 32-bit pattern, so
//   "$FFFFFFFF" is -1 (the stored form of a negative number in hex); more
//   digits do not fit and give the default.
// - Decimal outside -2147483648 … 2147483647 gives the default: a value that
//   does not fit is unreadable, never wrapped to some other number.
// - Empty text, stray characters (also spaces inside) give the default.
int32_t ParseProfileInteger(std::string_view text, int32_t def);

// Decimal text of value, as integers are written.
std::string FormatProfileInteger(int32_t value);

// The unsigned 8-bit form of a value read from a file: modulo 256.
uint8_t ToByte(int32_t value);

}  // namespace kb
