#include "win/text.h"

#include <windows.h>

namespace kb::win {

namespace {
constexpr UINT kShiftJis = 932;
}

std::wstring Widen(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int n = MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()),
                                    nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()), out.data(), n);
  return out;
}

std::optional<std::string> Narrow(std::wstring_view text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // No best-fit mapping: a character without a Shift-JIS form must be noticed,
  // not silently replaced by a look-alike.
  const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      out.data(), n, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

std::string NarrowOrThrow(std::wstring_view text) {
  if (auto s = Narrow(text)) return *s;
  std::string shown;
  for (wchar_t c : text) {
    const wchar_t one[1] = {c};
    if (auto s = Narrow(std::wstring_view(one, 1))) shown += *s; else shown += '?';
  }
  throw UnrepresentableName("「" + shown + "」の名前にはシフトJISで表せない文字が含まれているため、扱えません");
}

}  // namespace kb::win
