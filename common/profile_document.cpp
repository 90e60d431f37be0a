#include "common/profile_document.h"

#include "common/encoding.h"
#include "common/path.h"
#include "common/profile.h"

namespace kb {

namespace {

// Length of the blank character at text[i] (0 if it is not one): the ASCII
// white space and ^Z (an old end-of-file mark the platform also skips).  The
// full-width space 81 40 is text, as the platform reads it.
size_t SpaceLength(std::string_view text, size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  return (c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A) ? 1 : 0;
}

struct Span {
  size_t begin;
  size_t end;
};

// The text between begin and end without blanks at either end.
Span Trim(std::string_view text, size_t begin, size_t end) {
  while (begin < end) {
    const size_t n = SpaceLength(text, begin);
    if (n == 0) break;
    begin += n;
  }
  size_t lastEnd = begin;
  for (size_t i = begin; i < end;) {
    const size_t n = SpaceLength(text, i);
    const size_t len = n ? n : CharLength(text, i);
    if (!n) lastEnd = i + len;
    i += len;
  }
  return {begin, lastEnd > end ? end : lastEnd};
}

// First (or last) single-byte character c in [begin, end), never a trail byte.
size_t FindChar(std::string_view text, size_t begin, size_t end, char c, bool last) {
  size_t found = std::string_view::npos;
  for (size_t i = begin; i < end; i += CharLength(text, i)) {
    if (text[i] == c) {
      found = i;
      if (!last) break;
    }
  }
  return found;
}

}  // namespace

std::string FoldProfileName(std::string_view name) {
  const Span s = Trim(name, 0, name.size());
  std::string out(name.substr(s.begin, s.end - s.begin));
  return LowerAscii(out);
}

bool HasOuterBlanks(std::string_view text) {
  const Span s = Trim(text, 0, text.size());
  return s.begin != 0 || s.end != text.size();
}

std::string CookProfileValue(std::string_view raw) {
  const size_t nul = raw.find('\0');
  if (nul != std::string_view::npos) raw = raw.substr(0, nul);
  // The quote characters are single bytes below 0x40, never trail bytes.
  if (raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0]) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(CutToBytes(raw, kMaxProfileValueLength));
}

void ProfileLine::Analyze() {
  kind = Kind::kBlank;
  foldedName.clear();
  eqPos = std::string::npos;
  valueBegin = valueEnd = 0;
  const Span line = Trim(text, 0, text.size());
  if (line.begin >= line.end) return;
  if (text[line.begin] == '[') {
    const size_t close = FindChar(text, line.begin + 1, line.end, ']', true);
    if (close != std::string_view::npos) {
      kind = Kind::kSection;
      foldedName = FoldProfileName(std::string_view(text).substr(line.begin + 1, close - line.begin - 1));
      return;
    }
    // "[name" without its bracket is an ordinary line, as the platform reads it.
  }
  kind = Kind::kKey;
  eqPos = FindChar(text, line.begin, line.end, '=', false);
  const size_t nameEnd = eqPos == std::string::npos ? line.end : eqPos;
  foldedName = FoldProfileName(std::string_view(text).substr(line.begin, nameEnd - line.begin));
  if (eqPos != std::string::npos) {
    const Span value = Trim(text, eqPos + 1, line.end);
    valueBegin = value.begin;
    valueEnd = value.end;
  } else {
    valueBegin = valueEnd = line.end;  // where a write puts its '='
  }
}

ProfileLine ProfileDocument::MakeLine(std::string text, std::string eol) const {
  ProfileLine line;
  line.text = std::move(text);
  line.eol = std::move(eol);
  line.Analyze();
  return line;
}

std::string ProfileDocument::Encode(std::string_view sjis) const {
  switch (encoding_) {
    case FileEncoding::kShiftJis:
      return std::string(sjis);
    case FileEncoding::kUtf8:
      return Utf8FromUtf16(Utf16FromShiftJis(sjis));
    case FileEncoding::kUtf16Le:
    case FileEncoding::kUtf16Be: {
      const bool le = encoding_ == FileEncoding::kUtf16Le;
      std::string out;
      for (char16_t c : Utf16FromShiftJis(sjis)) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += le ? lo : hi;
        out += le ? hi : lo;
      }
      return out;
    }
  }
  return std::string(sjis);
}

}  // namespace kb

namespace kb {

namespace {

struct RawLine {
  std::string_view bytes;  // without the line end
  std::string_view eol;
};

// Splits at CRLF, LF or CR; every line keeps its own line end.
template <typename Char>
std::vector<std::pair<size_t, size_t>> SplitLines(const Char* data, size_t size,
                                                  std::vector<size_t>& eolLength) {
  std::vector<std::pair<size_t, size_t>> lines;  // begin, end (line end excluded)
  size_t begin = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != Char('\r') && data[i] != Char('\n')) continue;
    size_t n = 1;
    if (data[i] == Char('\r') && i + 1 < size && data[i + 1] == Char('\n')) n = 2;
    lines.emplace_back(begin, i);
    eolLength.push_back(n);
    i += n - 1;
    begin = i + 1;
  }
  if (begin < size) {
    lines.emplace_back(begin, size);
    eolLength.push_back(0);
  }
  return lines;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  ProfileDocument doc;
  std::vector<ProfileLine> lines;
  std::vector<size_t> eolLength;
  auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF") || startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
    doc.encoding_ = startsWith("\xEF\xBB\xBF") ? FileEncoding::kUtf8
                    : startsWith("\xFF\xFE")   ? FileEncoding::kUtf16Le
                                               : FileEncoding::kUtf16Be;
    doc.bom_ = std::string(bytes.substr(0, doc.encoding_ == FileEncoding::kUtf8 ? 3 : 2));
    bytes.remove_prefix(doc.bom_.size());
  }
  if (doc.encoding_ == FileEncoding::kUtf16Le || doc.encoding_ == FileEncoding::kUtf16Be) {
    const bool le = doc.encoding_ == FileEncoding::kUtf16Le;
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
      const unsigned char a = static_cast<unsigned char>(bytes[2 * i]);
      const unsigned char b = static_cast<unsigned char>(bytes[2 * i + 1]);
      units[i] = static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b));
    }
    if (bytes.size() % 2) doc.tail_ = std::string(bytes.substr(bytes.size() - 1));
    for (auto [b, e] : SplitLines(units.data(), units.size(), eolLength)) {
      const size_t n = eolLength[lines.size()];
      ProfileLine line;
      line.text = ShiftJisFromUtf16(std::u16string_view(units).substr(b, e - b));
      line.eol = n == 2 ? "\r\n" : n == 0 ? "" : std::string(1, static_cast<char>(units[e]));
      line.raw = std::string(bytes.substr(2 * b, 2 * (e - b + n)));
      lines.push_back(std::move(line));
    }
  } else {
    for (auto [b, e] : SplitLines(bytes.data(), bytes.size(), eolLength)) {
      const size_t n = eolLength[lines.size()];
      ProfileLine line;
      line.eol = std::string(bytes.substr(e, n));
      if (doc.encoding_ == FileEncoding::kUtf8) {
        line.text = ShiftJisFromUtf16(Utf16FromUtf8(bytes.substr(b, e - b)));
        line.raw = std::string(bytes.substr(b, e - b + n));
      } else {
        line.text = std::string(bytes.substr(b, e - b));
      }
      lines.push_back(std::move(line));
    }
  }
  doc.sections_.emplace_back();
  doc.sections_.back().hasHeader = false;
  bool newLineSeen = false;
  for (ProfileLine& line : lines) {
    // New lines follow the file's own line ends (the first one found).
    if (!newLineSeen && !line.eol.empty()) {
      doc.newLine_ = line.eol;
      newLineSeen = true;
    }
    line.Analyze();
    if (line.kind == ProfileLine::Kind::kSection) {
      doc.sections_.emplace_back();
      doc.sections_.back().header = std::move(line);
    } else {
      doc.sections_.back().body.push_back(std::move(line));
    }
  }
  doc.Reindex();
  return doc;
}

std::string ProfileDocument::Serialize() const {
  std::string out = bom_;
  auto emit = [&](const ProfileLine& line) {
    if (line.raw) {
      out += *line.raw;
    } else if (encoding_ == FileEncoding::kShiftJis) {
      out += line.text;
      out += line.eol;
    } else {
      out += Encode(line.text);
      out += Encode(line.eol);
    }
  };
  for (const ProfileSection& section : sections_) {
    if (section.hasHeader) emit(section.header);
    for (const ProfileLine& line : section.body) emit(line);
  }
  out += tail_;
  return out;
}

void ProfileDocument::Reindex() {
  first_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) first_.emplace(sections_[i].foldedName(), i);
}

const ProfileSection* ProfileDocument::Find(std::string_view section) const {
  const auto it = first_.find(FoldProfileName(section));
  return it == first_.end() ? nullptr : &sections_[it->second];
}

bool ProfileDocument::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string_view> ProfileDocument::RawValue(std::string_view section,
                                                          std::string_view key) const {
  const ProfileSection* found = Find(section);
  const std::string folded = FoldProfileName(key);
  if (!found || folded.empty()) return std::nullopt;
  for (const ProfileLine& line : found->body) {
    if (line.kind != ProfileLine::Kind::kKey || line.foldedName != folded) continue;
    // The first line of that name decides, even one without '='.
    if (line.eqPos == std::string::npos) return std::nullopt;
    return std::string_view(line.text).substr(line.valueBegin, line.valueEnd - line.valueBegin);
  }
  return std::nullopt;
}

ProfileLine* ProfileDocument::LastLine() {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (!it->body.empty()) return &it->body.back();
    if (it->hasHeader) return &it->header;
  }
  return nullptr;
}

void ProfileDocument::EndWithLineBreak(ProfileLine& line) {
  if (!line.eol.empty()) return;
  line.eol = newLine_;
  if (line.raw) *line.raw += Encode(newLine_);
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string foldedSection = FoldProfileName(section);
  const auto it = first_.find(foldedSection);
  std::string keyLine = std::string(key) + "=" + std::string(value);
  if (it == first_.end()) {
    if (ProfileLine* last = LastLine()) EndWithLineBreak(*last);
    ProfileSection added;
    std::string header(1, '[');
    header.append(section).append(1, ']');
    added.header = MakeLine(std::move(header), newLine_);
    added.body.push_back(MakeLine(std::move(keyLine), newLine_));
    sections_.push_back(std::move(added));
    first_.emplace(foldedSection, sections_.size() - 1);
    return;
  }
  ProfileSection& target = sections_[it->second];
  const std::string foldedKey = FoldProfileName(key);
  for (ProfileLine& line : target.body) {
    if (line.kind != ProfileLine::Kind::kKey || line.foldedName != foldedKey) continue;
    // Keep the line's own spelling of the name and its spacing up to the value.
    std::string text = line.text.substr(0, line.valueBegin);
    if (line.eqPos == std::string::npos) text += '=';
    text += value;
    line.text = std::move(text);
    line.raw.reset();
    line.Analyze();
    return;
  }
  size_t at = target.body.size();
  while (at > 0 && target.body[at - 1].kind == ProfileLine::Kind::kBlank) --at;
  ProfileLine* previous = at > 0 ? &target.body[at - 1] : target.hasHeader ? &target.header : nullptr;
  ProfileLine added = MakeLine(std::move(keyLine), newLine_);
  if (previous && previous->eol.empty()) {
    // The new line becomes the file's last line and keeps its missing line end.
    added.eol.clear();
    EndWithLineBreak(*previous);
  }
  target.body.insert(target.body.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
}

bool ProfileDocument::Erase(std::string_view section) {
  const auto it = first_.find(FoldProfileName(section));
  if (it == first_.end()) return false;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
  return true;
}

}  // namespace kb
