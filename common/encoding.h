// Conversions for settings files that carry a byte-order mark (UTF-8 or
// UTF-16): the program works in Shift-JIS, so such a file's text is converted
// to Shift-JIS to be read and back to its own encoding when a line changes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kb {

// Shift-JIS (code page 932) → UTF-16.
std::u16string Utf16FromShiftJis(std::string_view sjis);

// UTF-16 → Shift-JIS for reading a foreign settings file only: a character
// Shift-JIS cannot hold becomes '?', as the platform's own profile reader
// gives it.  The file's line itself is kept byte for byte; names and paths
// never go through this (see ShiftJisFromWide).
std::string ShiftJisFromUtf16Lossy(std::u16string_view text);

// UTF-8 ↔ UTF-16 (portable; malformed UTF-8 gives U+FFFD).
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view text);

#ifdef _WIN32
// The Windows side's one Shift-JIS converter, for every W function call.
std::wstring WideFromShiftJis(std::string_view sjis);
// nullopt when a character has no Shift-JIS form: such a text is refused,
// never stored with a look-alike or '?' in its place.
std::optional<std::string> ShiftJisFromWide(std::wstring_view text);
#endif

}  // namespace kb
