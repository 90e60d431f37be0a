// Host implementation: POSIX calls.  A backslash that is a real separator
// (not the trail byte of a double-byte character) becomes '/', so code and
// tests use the same Windows-style paths on both sides.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "common/file_io.h"
#include "common/path.h"

namespace kb {

namespace {

std::string HostPath(std::string_view path) {
  std::string out(path);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::optional<FileReader> FileReader::Open(const std::string& path) {
  const int fd = ::open(HostPath(path).c_str(), O_RDONLY);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  return FileReader(fd, static_cast<uint64_t>(st.st_size));
}

FileReader::~FileReader() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

FileReader::FileReader(FileReader&& other) noexcept : handle_(other.handle_), size_(other.size_) {
  other.handle_ = -1;
}

bool FileReader::ReadAt(uint64_t offset, void* dst, size_t size) const {
  auto* to = static_cast<char*>(dst);
  while (size > 0) {
    const ssize_t n = ::pread(static_cast<int>(handle_), to, size, static_cast<off_t>(offset));
    if (n <= 0) return false;
    to += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::optional<std::string> FileReader::ReadAll() const {
  std::string out;
  char buffer[65536];
  for (uint64_t offset = 0;;) {
    const ssize_t n =
        ::pread(static_cast<int>(handle_), buffer, sizeof buffer, static_cast<off_t>(offset));
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
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
  const std::string target = HostPath(path);
  const std::string temp = target + kSaveTempSuffix;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool written = true;
  for (const std::string_view piece : pieces) written = written && WriteAll(fd, piece);
  written = written && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || std::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(HostPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  return ::mkdir(HostPath(path).c_str(), 0755) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(HostPath(path).c_str()) == 0; }

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return std::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0;
}

}  // namespace kb
