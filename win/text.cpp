#include "win/text.h"

#include "common/encoding.h"

namespace kb::win {

std::wstring Widen(std::string_view sjis) { return WideFromShiftJis(sjis); }

std::optional<std::string> Narrow(std::wstring_view text) { return ShiftJisFromWide(text); }

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
