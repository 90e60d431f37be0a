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

// Writes bytes to a temporary file beside path and renames it into place,
// replacing the old file: a crash or a full disk leaves either the old file
// or the new one, never a torn one.  False (and no temporary file left) when
// the system refuses.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

// Reads `size` bytes from `offset` on into dst (a bitmap's pixels, read
// where they are to lie).  False when the file is missing or shorter.
bool ReadFileAt(const std::string& path, uint64_t offset, void* dst, size_t size);

// The file's size in bytes, or nullopt when it is missing.
std::optional<uint64_t> FileSize(const std::string& path);

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

}  // namespace kb
