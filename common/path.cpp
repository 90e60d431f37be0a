#include "common/path.h"

namespace kb {

namespace {

// Position of the last character c (a single-byte character, never a trail
// byte), or npos.
size_t LastSingleByte(std::string_view text, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

}  // namespace

std::string FolderPart(std::string_view path) {
  const size_t sep = LastSingleByte(path, '\\');
  if (sep == std::string_view::npos) return {};
  return std::string(path.substr(0, sep + 1));
}

std::string FilePart(std::string_view path) {
  const size_t sep = LastSingleByte(path, '\\');
  if (sep == std::string_view::npos) return std::string(path);
  return std::string(path.substr(sep + 1));
}

std::string ExtensionOf(std::string_view path) {
  const std::string file = FilePart(path);
  const size_t dot = LastSingleByte(file, '.');
  if (dot == std::string_view::npos) return {};
  return file.substr(dot);
}

std::string WithoutExtension(std::string_view fileName) {
  const size_t sep = LastSingleByte(fileName, '\\');
  const size_t fileStart = sep == std::string_view::npos ? 0 : sep + 1;
  const size_t dot = LastSingleByte(fileName.substr(fileStart), '.');
  if (dot == std::string_view::npos) return std::string(fileName);
  return std::string(fileName.substr(0, fileStart + dot));
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
  }
  return out;
}

bool EndsWithBackslash(std::string_view text) {
  const size_t sep = LastSingleByte(text, '\\');
  return sep != std::string_view::npos && sep + 1 == text.size();
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!folder.empty() && !EndsWithBackslash(folder)) out += '\\';
  out += name;
  return out;
}

std::string_view CutToBytes(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t i = 0;
  while (i < text.size()) {
    const size_t n = CharLength(text, i);
    if (i + n > maxBytes) break;
    i += n;
  }
  return text.substr(0, i);
}

}  // namespace kb
