// Text at the Win32 boundary: the program keeps Shift-JIS bytes everywhere and
// converts with code page 932 only where it calls the W functions, so it
// behaves the same whatever the system code page is.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kb::win {

// Shift-JIS → UTF-16 (code page 932).
std::wstring Widen(std::string_view sjis);

// UTF-16 → Shift-JIS; nullopt when a character has no Shift-JIS form (the
// text is never stored with a replacement character in its place).
std::optional<std::string> Narrow(std::wstring_view text);

// Narrow for texts that must be representable: throws UnrepresentableName,
// whose message names the problem in the UI's language.
std::string NarrowOrThrow(std::wstring_view text);

class UnrepresentableName : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kb::win
