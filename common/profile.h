// INI ("profile") files with the platform's private-profile reading rules,
// held whole in memory: a reader parses the file once per load session, a
// writer changes the parsed lines and writes the file back at once.
//
// Reading rules (as the platform's GetPrivateProfileString reads):
// - lines end at CR, LF or CRLF; a UTF-8 or UTF-16 byte-order mark makes the
//   file text in that encoding (read back as Shift-JIS), otherwise it is
//   Shift-JIS;
// - spaces, tabs and ^Z around lines, names and values are ignored (the
//   full-width space is not); "[ Name ]" is section "Name" (up to the last
//   ']');
// - section and key names compare without regard to the case of A-Z;
// - of duplicate sections only the first is searched, of duplicate keys the
//   first wins (also when the first is a line without '=', which then reads
//   as missing);
// - "k=" reads "" (not the default); one pair of outer double or single
//   quotes is stripped; a value is cut to 1023 characters (and never inside a
//   double-byte character);
// - a missing file, section or key reads as the default.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kb {

class ProfileDocument;

// A write or erase the system refused.  what() is the file's path followed by
// " に書き込めません".
class WriteError : public std::runtime_error {
 public:
  explicit WriteError(const std::string& path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The longest value a read returns, in characters.
inline constexpr size_t kMaxProfileValueLength = 1023;

class ProfileReader {
 public:
  // Reads and parses the file now; a missing file reads as empty.
  explicit ProfileReader(const std::string& path);
  // Parses bytes already in memory (tests, fuzzing).
  static ProfileReader FromBytes(std::string_view bytes);
  ~ProfileReader();
  ProfileReader(ProfileReader&&) noexcept;
  ProfileReader& operator=(ProfileReader&&) noexcept;

  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  bool SectionExists(std::string_view section) const;

 private:
  ProfileReader();
  std::unique_ptr<ProfileDocument> doc_;
};

// One write session: loads the current file, collects changes, and Commit()
// writes the whole file at once (temporary file + rename).  Lines that no
// write touched stay byte for byte (comments, unknown sections and keys,
// blank lines, line ends).  A changed key keeps its line's place; a new key
// goes after the section's last non-blank line; a new section is appended.
class ProfileWriter {
 public:
  explicit ProfileWriter(const std::string& path);
  // A session over bytes in memory; Commit() is not allowed (tests, fuzzing).
  static ProfileWriter FromBytes(std::string_view bytes);
  ~ProfileWriter();
  ProfileWriter(ProfileWriter&&) noexcept;
  ProfileWriter& operator=(ProfileWriter&&) noexcept;

  // CR and LF inside a value would start new lines (and could forge keys):
  // each is written as a space.  Values that would not read back as written
  // (outer spaces, outer quotes) are written inside a pair of quotes.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Removes the first matching section with all its lines.
  void EraseSection(std::string_view section);

  // The file as it would be written now.
  std::string Bytes() const;
  // Writes the file; throws WriteError when the system refuses, and also when
  // the file existed but could not be read at the start of the session (its
  // other contents would be lost).
  void Commit();

  const std::string& path() const { return path_; }

 private:
  ProfileWriter();
  std::string path_;
  bool unreadable_ = false;
  std::unique_ptr<ProfileDocument> doc_;
};

// Removes the first section named section (with its keys) from the file at
// once.  Nothing is written when the file or the section is missing.  Throws
// WriteError when the system refuses (also when the file cannot be read).
void EraseProfileSection(const std::string& path, std::string_view section);

}  // namespace kb
