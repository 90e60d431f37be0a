// Whole-file access with Shift-JIS paths.  The host build uses POSIX calls
// (backslashes become slashes there, so the same paths work in host tests);
// the Windows build calls the W functions with the path converted from code
// page 932.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kb {

// The file's bytes, or nullopt when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// A file opened once for reading, for callers that look at its head before
// they decide how to read the rest (a bitmap's pixels, read straight to
// where they are to lie).
class FileReader {
 public:
  // nullopt when the file is missing, is a folder or cannot be opened.
  static std::optional<FileReader> Open(const std::string& path);
  ~FileReader();
  FileReader(FileReader&& other) noexcept;
  FileReader& operator=(FileReader&&) = delete;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // The size when it was opened.
  uint64_t Size() const { return size_; }
  // Reads `size` bytes from `offset` on into dst; false when the file ends
  // before them or the read fails.
  bool ReadAt(uint64_t offset, void* dst, size_t size) const;
  // Everything from the start, also what was appended since the opening.
  std::optional<std::string> ReadAll() const;

 private:
  FileReader(intptr_t handle, uint64_t size) : handle_(handle), size_(size) {}
  intptr_t handle_;  // the system's handle or descriptor; -1 once moved from
  uint64_t size_;
};

// Writes bytes to a temporary file beside path (path + kSaveTempSuffix) and
// renames it into place, replacing the old file: a crash or a full disk
// leaves either the old file or the new one, never a torn one.  False (and no
// temporary file left) when the system refuses.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

inline constexpr char kSaveTempSuffix[] = ".kbtmp";

// The same with the content given as pieces written one after the other, so
// a large block (a bitmap's pixels) is written from where it lies, uncopied.
bool WriteFileAtomic(const std::string& path, std::initializer_list<std::string_view> pieces);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates one folder level; a trailing backslash is allowed.  False when the
// folder could not be made (also when it already exists).
bool CreateFolder(const std::string& path);

// Removes a file; false when it was not there or could not be removed.
bool RemoveFile(const std::string& path);

// Renames a file, replacing a file of the new name.  False when refused.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Removes the temporary file that a save of `path` killed midway (the
// process ended between writing and renaming) left beside it.  True when
// there was one and it is gone.
inline bool RemoveSaveLeftover(const std::string& path) {
  return RemoveFile(path + kSaveTempSuffix);
}

}  // namespace kb
