#include "common/profile.h"

#include "common/file_io.h"
#include "common/profile_document.h"
#include "common/values.h"

namespace kb {

namespace {

ProfileDocument LoadDocument(const std::string& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  return ProfileDocument::Parse(bytes ? std::string_view(*bytes) : std::string_view());
}

bool HasAny(std::string_view text, std::string_view chars) {
  return text.find_first_of(chars) != std::string_view::npos;
}

// Names come from the program, never from the user: one that the file could
// not hold is a programming error.
void CheckNames(std::string_view section, std::string_view key) {
  if (HasAny(section, std::string_view("]\r\n\0", 4)) ||
      HasAny(key, std::string_view("=\r\n\0", 4)) || FoldProfileName(key).empty() ||
      FoldProfileName(key)[0] == '[') {
    throw std::invalid_argument("profile name cannot be stored");
  }
}

// The text to put after '=' so that a read gives value back.
std::string StoredForm(std::string_view value) {
  const size_t nul = value.find('\0');
  std::string text(value.substr(0, nul));
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool outerBlank = HasOuterBlanks(text);
  const bool outerQuotes = text.size() >= 2 && (text[0] == '"' || text[0] == '\'') &&
                           text.back() == text[0];
  if (!outerBlank && !outerQuotes) return text;
  std::string quoted(1, '"');
  quoted.append(text).append(1, '"');
  return quoted;
}

}  // namespace

WriteError::WriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path) {}

ProfileReader::ProfileReader() = default;
ProfileReader::ProfileReader(const std::string& path)
    : doc_(std::make_unique<ProfileDocument>(LoadDocument(path))) {}
ProfileReader::~ProfileReader() = default;
ProfileReader::ProfileReader(ProfileReader&&) noexcept = default;
ProfileReader& ProfileReader::operator=(ProfileReader&&) noexcept = default;

ProfileReader ProfileReader::FromBytes(std::string_view bytes) {
  ProfileReader reader;
  reader.doc_ = std::make_unique<ProfileDocument>(ProfileDocument::Parse(bytes));
  return reader;
}

std::string ProfileReader::ReadString(std::string_view section, std::string_view key,
                                      const std::string& def) const {
  const std::optional<std::string_view> raw = doc_->RawValue(section, key);
  return raw ? CookProfileValue(*raw) : def;
}

int32_t ProfileReader::ReadInteger(std::string_view section, std::string_view key,
                                   int32_t def) const {
  const std::optional<std::string_view> raw = doc_->RawValue(section, key);
  return raw ? ParseProfileInteger(CookProfileValue(*raw), def) : def;
}

bool ProfileReader::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool ProfileReader::SectionExists(std::string_view section) const {
  return doc_->HasSection(section);
}

ProfileWriter::ProfileWriter() = default;
ProfileWriter::ProfileWriter(const std::string& path) : path_(path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  // A file that is there but cannot be read (another program holds it
  // locked) must not be replaced by one holding only this session's keys.
  unreadable_ = !bytes && FileExists(path);
  doc_ = std::make_unique<ProfileDocument>(
      ProfileDocument::Parse(bytes ? std::string_view(*bytes) : std::string_view()));
}
ProfileWriter::~ProfileWriter() = default;
ProfileWriter::ProfileWriter(ProfileWriter&&) noexcept = default;
ProfileWriter& ProfileWriter::operator=(ProfileWriter&&) noexcept = default;

ProfileWriter ProfileWriter::FromBytes(std::string_view bytes) {
  ProfileWriter writer;
  writer.doc_ = std::make_unique<ProfileDocument>(ProfileDocument::Parse(bytes));
  return writer;
}

void ProfileWriter::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
  CheckNames(section, key);
  doc_->Set(section, key, StoredForm(value));
}

void ProfileWriter::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, FormatProfileInteger(value));
}

void ProfileWriter::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileWriter::EraseSection(std::string_view section) { doc_->Erase(section); }

std::string ProfileWriter::Bytes() const { return doc_->Serialize(); }

void ProfileWriter::Commit() {
  if (path_.empty()) throw std::logic_error("ProfileWriter without a file");
  if (unreadable_ || !WriteFileAtomic(path_, doc_->Serialize())) throw WriteError(path_);
}

void EraseProfileSection(const std::string& path, std::string_view section) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) {
    if (FileExists(path)) throw WriteError(path);  // there, but locked
    return;
  }
  ProfileDocument doc = ProfileDocument::Parse(*bytes);
  if (!doc.Erase(section)) return;
  if (!WriteFileAtomic(path, doc.Serialize())) throw WriteError(path);
}

}  // namespace kb
