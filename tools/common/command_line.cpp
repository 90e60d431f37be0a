#include "tools/common/command_line.h"

#include <type_traits>

namespace kb::tools {

namespace {

// Every code unit up to the blank separates; bytes of 0x80 and above (lead
// and trail bytes of double-byte characters) never do.
template <class Char>
bool IsSeparator(Char c) {
  using Unsigned = std::make_unsigned_t<Char>;
  return static_cast<Unsigned>(c) <= static_cast<Unsigned>(' ');
}

// Reads one parameter starting at pos and moves pos behind it.
template <class Char>
std::basic_string<Char> NextParameter(std::basic_string_view<Char> line, size_t& pos) {
  const Char quote = static_cast<Char>('"');
  for (;;) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    if (pos + 1 < line.size() && line[pos] == quote && line[pos + 1] == quote) {
      pos += 2;
      continue;
    }
    break;
  }
  std::basic_string<Char> param;
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const Char c = line[pos];
    if (c == quote) {
      quoted = !quoted;
    } else if (!quoted && IsSeparator(c)) {
      break;
    } else {
      param.push_back(c);
    }
  }
  return param;
}

template <class Char>
std::basic_string<Char> First(std::basic_string_view<Char> line) {
  // A NUL ends the line, as it would in the system's own string.
  const size_t end = line.find(Char{});
  if (end != line.npos) line = line.substr(0, end);
  size_t pos = 0;
  NextParameter(line, pos);  // the program name
  return NextParameter(line, pos);
}

}  // namespace

std::string FirstParameter(std::string_view commandLine) { return First(commandLine); }

std::wstring FirstParameter(std::wstring_view commandLine) { return First(commandLine); }

}  // namespace kb::tools
