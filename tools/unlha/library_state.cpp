#include "tools/unlha/library_state.h"

#include <algorithm>
#include <cstring>

#include "lzh/commands.h"
#include "lzh/status.h"
#include "tools/unlha/win_file_system.h"

namespace kb::unlha {
namespace {

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) throw lzh::LzhError(lzh::Status::kBadCommand, "the text is not UTF-8");
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
  return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

LibraryState& State() {
  static LibraryState state;
  return state;
}

std::string ShiftJisFromCaller(const char* text) {
  std::string given = text != nullptr ? text : "";
  if (!State().unicode) return given;
  bool fits = true;
  std::string sjis = ShiftJisFromWide(WideFromUtf8(given), &fits);
  if (!fits) {
    throw lzh::LzhError(lzh::Status::kNotSupported, "the text holds a character Shift-JIS cannot write");
  }
  return sjis;
}

std::string CallerFromShiftJis(const std::string& text) {
  if (!State().unicode) return text;
  try {
    return Utf8FromWide(WideFromShiftJis(text));
  } catch (const lzh::LzhError&) {
    throw lzh::LzhError(lzh::Status::kNotSupported, "the name is not Shift-JIS text and has no UTF-8 form");
  }
}

void CopyToCaller(const std::string& shiftJis, char* buffer, std::size_t size) {
  if (!State().unicode) {
    lzh::CopyToBuffer(shiftJis, buffer, size);
    return;
  }
  if (buffer == nullptr || size == 0) return;
  // A message may quote bytes that are no Shift-JIS: those become stand-ins
  // here, in text for reading only.
  std::wstring wide(shiftJis.size(), L'\0');
  int w = MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), wide.data(),
                              static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(w > 0 ? w : 0));
  const std::string utf8 = Utf8FromWide(wide);
  std::size_t n = std::min(utf8.size(), size - 1);
  // Back over the continuation bytes of a character that does not fit.
  if (n < utf8.size()) {
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
  }
  std::memcpy(buffer, utf8.data(), n);
  buffer[n] = '\0';
}

}  // namespace kb::unlha
