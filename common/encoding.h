// Conversions for settings files that carry a byte-order mark (UTF-8 or
// UTF-16): the program works in Shift-JIS, so such a file's text is converted
// to Shift-JIS to be read and back to its own encoding when a line changes.
#pragma once

#include <string>
#include <string_view>

namespace kb {

// Shift-JIS (code page 932) ↔ UTF-16.  A character the target cannot hold
// becomes '?' (only ever used for reading foreign files, never for names).
std::u16string Utf16FromShiftJis(std::string_view sjis);
std::string ShiftJisFromUtf16(std::u16string_view text);

// UTF-8 ↔ UTF-16 (portable; malformed UTF-8 gives U+FFFD).
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace kb
