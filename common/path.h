// Shift-JIS paths, split the way the platform splits them.  Every function
// walks the text character by character, because the trail byte of a
// double-byte character may be 0x5C ("表" is 95 5C), which read byte by byte
// would look like a folder separator.
#pragma once

#include <string>
#include <string_view>

namespace kb {

// True for the first byte of a double-byte Shift-JIS character
// (0x81-0x9F, 0xE0-0xFC).
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character starting at text[i] (1 or 2; 1 for a lead
// byte with nothing after it).  Inline: the profile parser asks for every
// byte of a file.
inline size_t CharLength(std::string_view text, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// Up to and including the last backslash; "" if there is none.
std::string FolderPart(std::string_view path);

// Everything after the last backslash (the whole path if there is none).
std::string FilePart(std::string_view path);

// From the last '.' of the file part, including the dot; "" if none.
std::string ExtensionOf(std::string_view path);

// The file name without ExtensionOf(fileName).
std::string WithoutExtension(std::string_view fileName);

// Lowers single-byte A-Z only; double-byte characters are kept as they are.
std::string LowerAscii(std::string_view text);

// folder + name, with a backslash between unless folder is empty or already
// ends in a real backslash.
std::string JoinPath(std::string_view folder, std::string_view name);

// True when the last character of text is a backslash (not a trail byte).
bool EndsWithBackslash(std::string_view text);

// Cuts text to at most maxBytes bytes without splitting a double-byte
// character.
std::string_view CutToBytes(std::string_view text, size_t maxBytes);

}  // namespace kb
