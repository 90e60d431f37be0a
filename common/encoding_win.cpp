// Windows side of the code page 932 conversion: the program's one converter
// between its Shift-JIS text and the W functions.
#include <windows.h>

#include "common/encoding.h"

namespace kb {

namespace {
constexpr UINT kShiftJis = 932;
}

std::wstring WideFromShiftJis(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int size = static_cast<int>(sjis.size());
  const int n = MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, out.data(), n);
  return out;
}

std::optional<std::string> ShiftJisFromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // No best-fit mapping: a character without a Shift-JIS form must be noticed,
  // not silently replaced by a look-alike.
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                    nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), n, nullptr,
                      &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

std::u16string Utf16FromShiftJis(std::string_view sjis) {
  const std::wstring wide = WideFromShiftJis(sjis);
  return std::u16string(wide.begin(), wide.end());
}

std::string ShiftJisFromUtf16Lossy(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(kShiftJis, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kShiftJis, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace kb
