// The parsed form of a profile file shared by ProfileReader and
// ProfileWriter: every line kept with its own bytes and line end, grouped
// into sections, plus what the reading rules make of each line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kb {

enum class FileEncoding { kShiftJis, kUtf8, kUtf16Le, kUtf16Be };

struct ProfileLine {
  enum class Kind { kBlank, kSection, kKey };

  std::string text;  // Shift-JIS, without the line end
  std::string eol;   // "\r\n", "\n", "\r" or "" (last line of the file)
  // The line's bytes as they stand in a file that is not Shift-JIS
  // (line end included); dropped when the line changes.
  std::optional<std::string> raw;

  // What the reading rules see in text (set by Analyze).
  Kind kind = Kind::kBlank;
  std::string foldedName;  // section or key name, trimmed, case folded
  size_t eqPos = std::string::npos;  // the '=' of a key line, npos if none
  size_t valueBegin = 0;
  size_t valueEnd = 0;

  void Analyze();
};

struct ProfileSection {
  bool hasHeader = true;  // false for the lines before the first header
  ProfileLine header;
  std::vector<ProfileLine> body;

  const std::string& foldedName() const { return header.foldedName; }
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
  const ProfileSection* Find(std::string_view section) const;
  void Reindex();
  ProfileLine MakeLine(std::string text, std::string eol) const;
  std::string Encode(std::string_view sjis) const;
  ProfileLine* LastLine();
  void EndWithLineBreak(ProfileLine& line);

  FileEncoding encoding_ = FileEncoding::kShiftJis;
  std::string bom_;
  std::string tail_;  // an odd last byte of a UTF-16 file, kept as it was
  std::string newLine_ = "\r\n";
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
