// Windows side of the code page 932 conversion.  kb_common must not depend on
// the window layer, so it calls the conversion functions itself.
#include <windows.h>

#include "common/encoding.h"

namespace kb {

namespace {
constexpr UINT kShiftJis = 932;
}

std::u16string Utf16FromShiftJis(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int size = static_cast<int>(sjis.size());
  const int n = MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, out.data(), n);
  return std::u16string(out.begin(), out.end());
}

std::string ShiftJisFromUtf16(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(kShiftJis, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kShiftJis, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace kb
