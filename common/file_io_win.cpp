// Windows implementation: the W functions with the path converted from code
// page 932 here (kb_common does not depend on the window layer).
#include <windows.h>

#include "common/encoding.h"
#include "common/file_io.h"

namespace kb {

namespace {

std::wstring WidePath(std::string_view path) {
  const std::u16string wide = Utf16FromShiftJis(path);
  return std::wstring(wide.begin(), wide.end());
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<FileReader> FileReader::Open(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;  // a folder fails here too
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return std::nullopt;
  }
  return FileReader(reinterpret_cast<intptr_t>(file), static_cast<uint64_t>(size.QuadPart));
}

FileReader::~FileReader() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

FileReader::FileReader(FileReader&& other) noexcept : handle_(other.handle_), size_(other.size_) {
  other.handle_ = -1;
}

bool FileReader::ReadAt(uint64_t offset, void* dst, size_t size) const {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  auto* to = static_cast<char*>(dst);
  while (size > 0) {
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(file, to, chunk, &n, nullptr) || n == 0) return false;
    to += n;
    size -= n;
  }
  return true;
}

std::optional<std::string> FileReader::ReadAll() const {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
  std::string out;
  // Sized from the file up front and read in one call: the icon store is
  // megabytes, and Wine pays per ReadFile and per growth of the string.
  if (size_ > 0 && size_ < 0x40000000) {
    out.resize(static_cast<size_t>(size_));
    DWORD n = 0;
    if (!ReadFile(file, out.data(), static_cast<DWORD>(out.size()), &n, nullptr)) {
      return std::nullopt;
    }
    out.resize(n);
  }
  char buffer[65536];
  for (;;) {  // the rest, should the file have grown meanwhile
    DWORD n = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    out.append(buffer, n);
  }
  return out;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const std::optional<FileReader> file = FileReader::Open(path);
  return file ? file->ReadAll() : std::nullopt;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
  return WriteFileAtomic(path, std::initializer_list<std::string_view>{bytes});
}

bool WriteFileAtomic(const std::string& path, std::initializer_list<std::string_view> pieces) {
  const std::wstring target = WidePath(path);
  const std::wstring temp = WidePath(path + kSaveTempSuffix);
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  for (const std::string_view piece : pieces) written = written && WriteAll(file, piece);
  written = written && FlushFileBuffers(file);
  CloseHandle(file);
  // MOVEFILE_WRITE_THROUGH: the call returns only once the rename is on disk.
  if (!written || !MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(WidePath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(WidePath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path) {
  return CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != 0; }

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace kb
