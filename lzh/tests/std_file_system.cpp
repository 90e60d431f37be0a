#include "lzh/tests/std_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

#include "lzh/sjis.h"

namespace kb::lzh::testing {
namespace fs = std::filesystem;
namespace {

// Backslashes become slashes, but not the trail byte of a double-byte
// character.
std::string Native(std::string path) {
  for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (path[i] == '\\') path[i] = '/';
  }
  return path;
}

class PosixFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;
  int fd() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class StdInput : public InputFile {
 public:
  explicit StdInput(int fd) : file_(fd) {}
  std::size_t Read(std::uint8_t* data, std::size_t size) override {
    ssize_t n = ::read(file_.fd(), data, size);
    if (n < 0) throw LzhError(Status::kFileOpen, "cannot be read");
    return static_cast<std::size_t>(n);
  }
  void Rewind() override { ::lseek(file_.fd(), 0, SEEK_SET); }

 private:
  PosixFile file_;
};

class StdArchive : public ArchiveFile {
 public:
  StdArchive(int fd, std::uint64_t size) : file_(fd), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(file_.fd(), data + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0) throw LzhError(Status::kCannotRead, "the archive cannot be read");
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  PosixFile file_;
  std::uint64_t size_;
};

class StdOutput : public OutputFile {
 public:
  StdOutput(int fd, std::string path) : file_(fd), path_(std::move(path)) {}
  ~StdOutput() override {
    if (!committed_) {
      file_.Close();
      ::unlink(path_.c_str());
    }
  }
  void Write(const std::uint8_t* data, std::size_t size) override {
    if (::pwrite(file_.fd(), data, size, static_cast<off_t>(pos_)) != static_cast<ssize_t>(size)) {
      throw LzhError(Status::kCannotWrite, "the archive cannot be written");
    }
    pos_ += size;
  }
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override { pos_ = position; }
  void Truncate() override {
    if (::ftruncate(file_.fd(), static_cast<off_t>(pos_)) != 0) {
      throw LzhError(Status::kCannotWrite, "the archive cannot be written");
    }
  }
  void Commit(const std::string& target) {
    file_.Close();
    if (std::rename(path_.c_str(), target.c_str()) != 0) {
      throw LzhError(Status::kMakeArchive, "cannot be put in place");
    }
    committed_ = true;
  }

 private:
  PosixFile file_;
  std::string path_;
  std::uint64_t pos_ = 0;
  bool committed_ = false;
};

constexpr std::uint64_t kSeconds1601To1970 = 11'644'473'600ull;
constexpr std::uint64_t kTicksPerSecond = 10'000'000ull;

std::uint64_t FileTime(const struct timespec& t) {
  return (static_cast<std::uint64_t>(t.tv_sec) + kSeconds1601To1970) * kTicksPerSecond +
         static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

struct timespec TimeSpec(std::uint64_t fileTime) {
  struct timespec t {};
  if (fileTime == 0) {
    t.tv_nsec = UTIME_OMIT;
    return t;
  }
  t.tv_sec = static_cast<time_t>(fileTime / kTicksPerSecond) - static_cast<time_t>(kSeconds1601To1970);
  t.tv_nsec = static_cast<long>(fileTime % kTicksPerSecond * 100);
  return t;
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesWildcard(name.substr(skip), pattern.substr(1))) return true;
    }
    return false;
  }
  if (name.empty() || (pattern[0] != '?' && pattern[0] != name[0])) return false;
  return MatchesWildcard(name.substr(1), pattern.substr(1));
}

std::vector<FoundFile> StdFileSystem::Find(const std::string& pattern) {
  std::string native = Native(pattern);
  std::size_t start = FileNameStart(native);
  std::string folder = native.substr(0, start);
  std::string namePattern = native.substr(start);
  std::vector<FoundFile> found;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
    std::string name = e.path().filename().string();
    if (!MatchesWildcard(name, namePattern)) continue;
    struct stat st {};
    if (::stat((folder + name).c_str(), &st) != 0) continue;
    FoundFile f;
    f.path = folder + name;
    f.name = name;
    f.directory = S_ISDIR(st.st_mode);
    f.size = static_cast<std::uint64_t>(st.st_size);
    f.unixTime = static_cast<std::uint32_t>(st.st_mtime);
    // What the Windows layer gives too, so that archives made here carry the
    // same header extensions (attributes, file times) for the readers.
    f.attributes = static_cast<std::uint16_t>(0x20 | ((st.st_mode & S_IWUSR) ? 0 : 0x01));
    f.times = FileTimes{FileTime(st.st_ctim), FileTime(st.st_mtim), FileTime(st.st_atim)};
    found.push_back(std::move(f));
  }
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  return found;
}

std::unique_ptr<InputFile> StdFileSystem::OpenInput(const std::string& path) {
  int fd = ::open(Native(path).c_str(), O_RDONLY);
  if (fd < 0) throw LzhError(Status::kFileOpen, "cannot be opened");
  return std::make_unique<StdInput>(fd);
}

std::unique_ptr<ArchiveFile> StdFileSystem::OpenArchive(const std::string& path) {
  int fd = ::open(Native(path).c_str(), O_RDONLY);
  if (fd < 0) {
    if (errno == ENOENT) return nullptr;
    throw LzhError(Status::kCannotRead, "the archive cannot be opened");
  }
  struct stat st {};
  ::fstat(fd, &st);
  return std::make_unique<StdArchive>(fd, static_cast<std::uint64_t>(st.st_size));
}

std::unique_ptr<OutputFile> StdFileSystem::CreateTemporary(const std::string& path) {
  std::string native = Native(path);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = native.substr(0, FileNameStart(native)) + "lzh" + std::to_string(random() % 100000) + ".tmp";
    int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) return std::make_unique<StdOutput>(fd, temp);
    if (errno != EEXIST) break;
  }
  throw LzhError(Status::kMakeArchive, "no temporary file can be made in its folder");
}

void StdFileSystem::Commit(std::unique_ptr<OutputFile> temporary, const std::string& path) {
  static_cast<StdOutput&>(*temporary).Commit(Native(path));
}

std::string StdFileSystem::FullPath(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::absolute(Native(path), ec);
  return full.lexically_normal().string();
}

CivilTime StdFileSystem::LocalTime(std::uint32_t unixTime) {
  std::time_t t = unixTime;
  std::tm tm {};
  ::localtime_r(&t, &tm);
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

EntryKind StdFileSystem::Examine(const std::string& path, std::uint64_t* lastWrite) {
  struct stat st {};
  if (::lstat(Native(path).c_str(), &st) != 0) return errno == ENOENT ? EntryKind::kNone : EntryKind::kOther;
  if (S_ISDIR(st.st_mode)) return EntryKind::kFolder;
  if (!S_ISREG(st.st_mode)) return EntryKind::kOther;
  if (lastWrite != nullptr) *lastWrite = FileTime(st.st_mtim);
  return EntryKind::kFile;
}

void StdFileSystem::MakeFolder(const std::string& path) {
  if (::mkdir(Native(path).c_str(), 0755) != 0) throw LzhError(Status::kDirectory, "the folder cannot be made");
}

void StdFileSystem::SetFileInfo(const std::string& path, const FileTimes& times,
                                std::optional<std::uint16_t> attributes) {
  const std::string native = Native(path);
  const struct timespec both[2] = {TimeSpec(times.lastAccess), TimeSpec(times.lastWrite)};
  if (::utimensat(AT_FDCWD, native.c_str(), both, AT_SYMLINK_NOFOLLOW) != 0) {
    throw LzhError(Status::kCannotWrite, "the time stamp cannot be set");
  }
  struct stat st {};
  if (attributes && (*attributes & 0x01) != 0 && ::lstat(native.c_str(), &st) == 0 &&
      ::chmod(native.c_str(), st.st_mode & 07555) != 0) {
    throw LzhError(Status::kCannotWrite, "the file cannot be made read-only");
  }
}

std::uint64_t StdFileSystem::FileTimeFromLocal(const CivilTime& local) {
  std::tm tm {};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  if (t < 0) return 0;
  return (static_cast<std::uint64_t>(t) + kSeconds1601To1970) * kTicksPerSecond;
}

int Shell(const std::string& command, std::string* log) {
  std::string full = "env LANG=C.UTF-8 LC_ALL=C.UTF-8 " + command + " 2>&1";
  FILE* p = ::popen(full.c_str(), "r");
  if (p == nullptr) return -1;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) log->append(buffer, n);
  return ::pclose(p);
}

}  // namespace kb::lzh::testing
