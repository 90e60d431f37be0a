#include "lzh/sjis.h"

namespace kb::lzh {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t FileNameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t n = CharLength(path, i);
    if (n == 1 && (IsSeparator(path[i]) || path[i] == ':')) start = i + 1;
    i += n;
  }
  return start;
}

bool EndsWithSeparator(std::string_view path) {
  return !path.empty() && FileNameStart(path) == path.size() && IsSeparator(path.back());
}

bool IsAnchored(std::string_view path) {
  if (!path.empty() && IsSeparator(path[0])) return true;
  // A colon is never a trail byte, so it can be looked for by position.
  return path.size() >= 2 && path[1] == ':';
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    std::size_t n = CharLength(a, i);
    if (n == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
    i += n;
  }
  return true;
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t n = CharLength(text, end);
    if (end + n > maxBytes) break;
    end += n;
  }
  return text.substr(0, end);
}

}  // namespace kb::lzh
