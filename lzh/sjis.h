// Shift-JIS text as the archiver handles it: names and paths are bytes, and
// a trail byte may be 0x5C ("表" is 95 5C), so every split walks characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kb::lzh {

inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes of the character at text[i]: 2 for a lead byte with a byte after it.
inline std::size_t CharLength(std::string_view text, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Index just after the last folder separator ('\', '/') or drive colon; 0
// when there is none.  The file name starts there.
std::size_t FileNameStart(std::string_view path);

// True when the last character is a folder separator.
bool EndsWithSeparator(std::string_view path);

// True when path names its place from the root or a drive ("\x", "C:x").
bool IsAnchored(std::string_view path);

// Equal but for the case of single-byte A-Z (how Windows compares names).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The longest front of text of at most maxBytes that ends on a character
// boundary.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace kb::lzh
