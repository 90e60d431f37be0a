// The parsed form of a profile file shared by ProfileReader and
// ProfileWriter: every line kept with its own bytes and line end, grouped
// into sections, plus what the reading rules make of each line.  Lines of a
// Shift-JIS file point into the file's bytes until a write changes them, so
// a parse allocates little and an unchanged line is written back as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kb {

enum class FileEncoding { kShiftJis, kUtf8, kUtf16Le, kUtf16Be };

enum class LineEnd : uint8_t { kNone, kCrLf, kLf, kCr };
std::string_view LineEndText(LineEnd eol);

struct ProfileLine {
  enum class Kind : uint8_t { kBlank, kSection, kKey };

  // Where the text is: source bytes [begin, begin + size) or owned.
  uint32_t begin = 0;
  uint32_t size = 0;
  bool isOwned = false;
  std::string owned;  // Shift-JIS, without the line end
  // The line's bytes as they stand in a file that is not Shift-JIS (line end
  // included); dropped when the line changes.
  std::unique_ptr<std::string> raw;
  LineEnd eol = LineEnd::kNone;  // kNone only for the last line of a file

  // What the reading rules see in the text (set by Analyze), as offsets into
  // it: the trimmed section or key name, the '=' (npos if none) and the
  // trimmed value.
  Kind kind = Kind::kBlank;
  uint32_t nameBegin = 0;
  uint32_t nameEnd = 0;
  uint32_t eqPos = UINT32_MAX;
  uint32_t valueBegin = 0;
  uint32_t valueEnd = 0;

  std::string_view Text(std::string_view source) const {
    return isOwned ? std::string_view(owned) : source.substr(begin, size);
  }
  std::string_view Name(std::string_view source) const {
    return Text(source).substr(nameBegin, nameEnd - nameBegin);
  }
  void Analyze(std::string_view text);
};

struct ProfileSection {
  bool hasHeader = true;  // false for the lines before the first header
  ProfileLine header;
  std::vector<ProfileLine> body;
};

class ProfileDocument {
 public:
  static ProfileDocument Parse(std::string_view bytes);
  std::string Serialize() const;

  // The value text of the first key named key in the first section named
  // section, before quotes are stripped; nullopt when there is none (or the
  // first such line has no '=').
  std::optional<std::string_view> RawValue(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;

  void Set(std::string_view section, std::string_view key, std::string_view value);
  // False when there was no such section.
  bool Erase(std::string_view section);

 private:
  void ParseShiftJis(std::string_view bytes);
  void ParseUtf8(std::string_view bytes);
  void ParseUtf16(std::string_view bytes);
  void AddParsed(ProfileLine&& line);
  const ProfileSection* Find(std::string_view section) const;
  const ProfileLine* FindKey(const ProfileSection& section, std::string_view key) const;
  void Reindex();
  ProfileLine MakeLine(std::string text, LineEnd eol) const;
  void Replace(ProfileLine& line, std::string text) const;
  std::string Encode(std::string_view sjis) const;
  ProfileLine* LastLine();
  void EndWithLineBreak(ProfileLine& line);

  std::string source_;  // the file's bytes (Shift-JIS files only)
  FileEncoding encoding_ = FileEncoding::kShiftJis;
  std::string bom_;
  std::string tail_;  // an odd last byte of a UTF-16 file, kept as it was
  LineEnd newLine_ = LineEnd::kCrLf;
  bool newLineSeen_ = false;
  std::vector<ProfileSection> sections_;
  std::unordered_map<std::string, size_t> first_;  // folded name → section
};

// Name comparison form: trimmed, single-byte A-Z lowered.  Double-byte
// letters keep their case: the platform does not fold "Ａ" to "ａ" either.
std::string FoldProfileName(std::string_view name);

// True when a read would trim blanks off the start or end of text.
bool HasOuterBlanks(std::string_view text);

// The value as a read returns it: one pair of outer quotes stripped, cut at
// a NUL, cut to kMaxProfileValueLength bytes without splitting a character.
std::string CookProfileValue(std::string_view raw);

}  // namespace kb
