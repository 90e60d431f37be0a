#include "common/profile_document.h"

#include <algorithm>

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

// Whether a name as it stands in the file equals a folded name.
bool SameName(std::string_view name, std::string_view folded) {
  if (name.size() != folded.size()) return false;
  for (size_t i = 0; i < name.size();) {
    const size_t n = CharLength(name, i);
    if (n == 2) {
      if (name[i] != folded[i] || name[i + 1] != folded[i + 1]) return false;
    } else {
      const char c = (name[i] >= 'A' && name[i] <= 'Z') ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
      if (c != folded[i]) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

std::string FoldProfileName(std::string_view name) {
  const Span s = Trim(name, 0, name.size());
  return LowerAscii(name.substr(s.begin, s.end - s.begin));
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

// One pass over the line (the parser runs this for every line of a file):
// the first non-blank characters, the end of the last one, the first '=' and
// the last ']', each with the end of the non-blank text before it.
void ProfileLine::Analyze(std::string_view text) {
  constexpr size_t npos = std::string_view::npos;
  size_t first = npos, second = npos, lastEnd = 0;
  size_t eq = npos, nameEndAtEq = 0, valueStart = npos, close = npos, nameEndAtClose = 0;
  for (size_t i = 0; i < text.size();) {
    if (const size_t blank = SpaceLength(text, i)) {
      i += blank;
      continue;
    }
    const size_t len = CharLength(text, i);
    if (first == npos) first = i;
    else if (second == npos) second = i;
    if (eq != npos && valueStart == npos) valueStart = i;
    if (len == 1 && text[i] == '=' && eq == npos) {
      eq = i;
      nameEndAtEq = lastEnd;
    } else if (len == 1 && text[i] == ']') {
      close = i;
      nameEndAtClose = lastEnd;
    }
    lastEnd = i + len;
    i += len;
  }
  auto set = [this](size_t nb, size_t ne, size_t eqAt, size_t vb, size_t ve) {
    nameBegin = static_cast<uint32_t>(nb);
    nameEnd = static_cast<uint32_t>(std::max(nb, ne));
    eqPos = eqAt == npos ? UINT32_MAX : static_cast<uint32_t>(eqAt);
    valueBegin = static_cast<uint32_t>(vb);
    valueEnd = static_cast<uint32_t>(std::max(vb, ve));
  };
  if (first == npos) {
    kind = Kind::kBlank;
    set(0, 0, npos, 0, 0);
  } else if (text[first] == '[' && close != npos) {
    kind = Kind::kSection;
    const size_t begin = std::min(second, close);
    set(begin, nameEndAtClose, npos, 0, 0);
  } else if (eq != npos) {
    // "[name" without its bracket lands here: an ordinary line, as the
    // platform reads it.
    kind = Kind::kKey;
    const size_t value = valueStart == npos ? eq + 1 : valueStart;
    set(first, nameEndAtEq, eq, value, valueStart == npos ? value : lastEnd);
  } else {
    kind = Kind::kKey;
    set(first, lastEnd, npos, lastEnd, lastEnd);  // a write puts its '=' at the end
  }
}

std::string_view LineEndText(LineEnd eol) {
  switch (eol) {
    case LineEnd::kCrLf: return "\r\n";
    case LineEnd::kLf: return "\n";
    case LineEnd::kCr: return "\r";
    case LineEnd::kNone: break;
  }
  return {};
}

ProfileLine ProfileDocument::MakeLine(std::string text, LineEnd eol) const {
  ProfileLine line;
  line.isOwned = true;
  line.owned = std::move(text);
  line.eol = eol;
  line.Analyze(line.owned);
  return line;
}

void ProfileDocument::Replace(ProfileLine& line, std::string text) const {
  line.isOwned = true;
  line.owned = std::move(text);
  line.raw.reset();
  line.Analyze(line.owned);
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

// Splits at CRLF, LF or CR; calls add(begin, end, line end, its length) per
// line.
template <typename Char, typename Add>
void SplitLines(const Char* data, size_t size, Add add) {
  size_t begin = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != Char('\r') && data[i] != Char('\n')) continue;
    const bool crlf = data[i] == Char('\r') && i + 1 < size && data[i + 1] == Char('\n');
    add(begin, i, crlf ? LineEnd::kCrLf : data[i] == Char('\r') ? LineEnd::kCr : LineEnd::kLf,
        crlf ? size_t{2} : size_t{1});
    i += crlf ? 1 : 0;
    begin = i + 1;
  }
  if (begin < size) add(begin, size, LineEnd::kNone, size_t{0});
}

FileEncoding EncodingOf(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return FileEncoding::kUtf8;
  if (bytes.substr(0, 2) == "\xFF\xFE") return FileEncoding::kUtf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return FileEncoding::kUtf16Be;
  return FileEncoding::kShiftJis;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  ProfileDocument doc;
  doc.encoding_ = EncodingOf(bytes);
  const size_t bomSize = doc.encoding_ == FileEncoding::kShiftJis ? 0
                         : doc.encoding_ == FileEncoding::kUtf8   ? 3
                                                                  : 2;
  doc.bom_ = std::string(bytes.substr(0, bomSize));
  bytes.remove_prefix(bomSize);
  doc.sections_.emplace_back();
  doc.sections_.back().hasHeader = false;
  switch (doc.encoding_) {
    case FileEncoding::kShiftJis: doc.ParseShiftJis(bytes); break;
    case FileEncoding::kUtf8: doc.ParseUtf8(bytes); break;
    case FileEncoding::kUtf16Le:
    case FileEncoding::kUtf16Be: doc.ParseUtf16(bytes); break;
  }
  doc.Reindex();
  return doc;
}

void ProfileDocument::ParseShiftJis(std::string_view bytes) {
  source_ = std::string(bytes);
  const std::string_view source = source_;
  SplitLines(source.data(), source.size(), [&](size_t b, size_t e, LineEnd eol, size_t) {
    ProfileLine line;
    line.begin = static_cast<uint32_t>(b);
    line.size = static_cast<uint32_t>(e - b);
    line.eol = eol;
    line.Analyze(source.substr(b, e - b));
    AddParsed(std::move(line));
  });
}

void ProfileDocument::ParseUtf8(std::string_view bytes) {
  SplitLines(bytes.data(), bytes.size(), [&](size_t b, size_t e, LineEnd eol, size_t n) {
    ProfileLine line = MakeLine(ShiftJisFromUtf16Lossy(Utf16FromUtf8(bytes.substr(b, e - b))), eol);
    line.raw = std::make_unique<std::string>(bytes.substr(b, e - b + n));
    AddParsed(std::move(line));
  });
}

void ProfileDocument::ParseUtf16(std::string_view bytes) {
  const bool le = encoding_ == FileEncoding::kUtf16Le;
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const unsigned char a = static_cast<unsigned char>(bytes[2 * i]);
    const unsigned char b = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b));
  }
  if (bytes.size() % 2) tail_ = std::string(bytes.substr(bytes.size() - 1));
  const std::u16string_view text = units;
  SplitLines(units.data(), units.size(), [&](size_t b, size_t e, LineEnd eol, size_t n) {
    ProfileLine line = MakeLine(ShiftJisFromUtf16Lossy(text.substr(b, e - b)), eol);
    line.raw = std::make_unique<std::string>(bytes.substr(2 * b, 2 * (e - b + n)));
    AddParsed(std::move(line));
  });
}

void ProfileDocument::AddParsed(ProfileLine&& line) {
  // New lines follow the file's own line ends (the first one found).
  if (!newLineSeen_ && line.eol != LineEnd::kNone) {
    newLine_ = line.eol;
    newLineSeen_ = true;
  }
  if (line.kind == ProfileLine::Kind::kSection) {
    sections_.emplace_back();
    sections_.back().header = std::move(line);
  } else {
    sections_.back().body.push_back(std::move(line));
  }
}

std::string ProfileDocument::Serialize() const {
  std::string out = bom_;
  out.reserve(source_.size() + source_.size() / 4 + 4096);
  auto emit = [&](const ProfileLine& line) {
    if (line.raw) {
      out += *line.raw;
    } else if (encoding_ == FileEncoding::kShiftJis) {
      out += line.Text(source_);
      out += LineEndText(line.eol);
    } else {
      out += Encode(line.Text(source_));
      out += Encode(LineEndText(line.eol));
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
  first_.reserve(sections_.size());
  for (size_t i = 0; i < sections_.size(); ++i) {
    first_.emplace(LowerAscii(sections_[i].header.Name(source_)), i);
  }
}

const ProfileSection* ProfileDocument::Find(std::string_view section) const {
  const auto it = first_.find(FoldProfileName(section));
  return it == first_.end() ? nullptr : &sections_[it->second];
}

const ProfileLine* ProfileDocument::FindKey(const ProfileSection& section,
                                            std::string_view key) const {
  const std::string folded = FoldProfileName(key);
  if (folded.empty()) return nullptr;
  for (const ProfileLine& line : section.body) {
    if (line.kind == ProfileLine::Kind::kKey && SameName(line.Name(source_), folded)) return &line;
  }
  return nullptr;
}

bool ProfileDocument::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string_view> ProfileDocument::RawValue(std::string_view section,
                                                          std::string_view key) const {
  const ProfileSection* found = Find(section);
  const ProfileLine* line = found ? FindKey(*found, key) : nullptr;
  // The first line of that name decides, even one without '='.
  if (!line || line->eqPos == UINT32_MAX) return std::nullopt;
  return line->Text(source_).substr(line->valueBegin, line->valueEnd - line->valueBegin);
}

ProfileLine* ProfileDocument::LastLine() {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (!it->body.empty()) return &it->body.back();
    if (it->hasHeader) return &it->header;
  }
  return nullptr;
}

void ProfileDocument::EndWithLineBreak(ProfileLine& line) {
  if (line.eol != LineEnd::kNone) return;
  line.eol = newLine_;
  if (line.raw) *line.raw += Encode(LineEndText(newLine_));
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string foldedSection = FoldProfileName(section);
  const auto it = first_.find(foldedSection);
  std::string keyLine(key);
  keyLine.append(1, '=').append(value);
  if (it == first_.end()) {
    if (ProfileLine* last = LastLine()) EndWithLineBreak(*last);
    std::string header(1, '[');
    header.append(section).append(1, ']');
    ProfileSection added;
    added.header = MakeLine(std::move(header), newLine_);
    added.body.push_back(MakeLine(std::move(keyLine), newLine_));
    sections_.push_back(std::move(added));
    first_.emplace(foldedSection, sections_.size() - 1);
    return;
  }
  ProfileSection& target = sections_[it->second];
  if (ProfileLine* line = const_cast<ProfileLine*>(FindKey(target, key))) {
    const std::string_view text = line->Text(source_);
    // An unchanged value leaves the line as it is (and pointing at the file).
    if (line->eqPos != UINT32_MAX && text.substr(line->valueBegin) == value) return;
    // Keep the line's own spelling of the name and its spacing up to the value.
    std::string changed(text.substr(0, line->valueBegin));
    if (line->eqPos == UINT32_MAX) changed += '=';
    changed += value;
    Replace(*line, std::move(changed));
    return;
  }
  size_t at = target.body.size();
  while (at > 0 && target.body[at - 1].kind == ProfileLine::Kind::kBlank) --at;
  ProfileLine* previous = at > 0 ? &target.body[at - 1] : target.hasHeader ? &target.header : nullptr;
  ProfileLine added = MakeLine(std::move(keyLine), newLine_);
  if (previous && previous->eol == LineEnd::kNone) {
    // The new line becomes the file's last line and keeps its missing line end.
    added.eol = LineEnd::kNone;
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
