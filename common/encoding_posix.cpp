// Host side of the code page 932 conversion: glibc's iconv knows CP932 with
// the same vendor extensions as the Windows code page.
#include <iconv.h>

#include <cerrno>

#include "common/encoding.h"

namespace kb {

namespace {

// Converts in one pass; an input sequence the target cannot hold is replaced
// by `replacement` (already in the target encoding) and skipped by `skip`
// input bytes.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, size_t skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += replacement;
      const size_t n = skip < srcLeft ? skip : srcLeft;
      src += n;
      srcLeft -= n;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::u16string Utf16FromShiftJis(std::string_view sjis) {
  const char16_t dot = u'\u30FB';  // what the platform gives for a broken pair
  const std::string bytes =
      Convert("UTF-16LE", "CP932", sjis, std::string_view(reinterpret_cast<const char*>(&dot), 2), 1);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

std::string ShiftJisFromUtf16Lossy(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return Convert("CP932", "UTF-16LE", bytes, "?", 2);
}

}  // namespace kb
