#include "tools/unlha/win_file_system.h"

#include <windows.h>

#include <algorithm>

#include "lzh/sjis.h"
#include "lzh/times.h"

namespace kb::unlha {
namespace {

using lzh::LzhError;
using lzh::Status;

constexpr UINT kShiftJis = 932;

std::string ErrorText(const char* what) { return std::string(what) + " (error " + std::to_string(GetLastError()) + ")"; }

std::uint64_t FromFileTime(const FILETIME& t) {
  return static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

// Owns a file handle; the handle of a failed open is never stored.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  void Close() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

class WinInput : public lzh::InputFile {
 public:
  explicit WinInput(HANDLE h) : file_(h) {}
  std::size_t Read(std::uint8_t* data, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(file_.get(), data, static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20)), &got, nullptr)) {
      throw LzhError(Status::kFileOpen, ErrorText("cannot be read"));
    }
    return got;
  }
  void Rewind() override {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file_.get(), zero, nullptr, FILE_BEGIN)) {
      throw LzhError(Status::kFileOpen, ErrorText("cannot be read again"));
    }
  }

 private:
  Handle file_;
};

class WinArchive : public lzh::ArchiveFile {
 public:
  WinArchive(HANDLE h, std::uint64_t size) : file_(h), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
    std::size_t done = 0;
    while (done < size && offset + done < size_) {
      OVERLAPPED at = At(offset + done);
      DWORD got = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 20));
      if (!ReadFile(file_.get(), data + done, want, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        throw LzhError(Status::kCannotRead, ErrorText("the archive cannot be read"));
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

 private:
  Handle file_;
  std::uint64_t size_;
};

class WinOutput : public lzh::OutputFile {
 public:
  WinOutput(HANDLE h, std::wstring path) : file_(h), path_(std::move(path)) {}
  ~WinOutput() override {
    if (!committed_) {
      file_.Close();
      DeleteFileW(path_.c_str());
    }
  }
  void Write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      OVERLAPPED at = At(pos_);
      DWORD put = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
      if (!WriteFile(file_.get(), data, want, &put, &at) || put == 0) {
        throw LzhError(Status::kCannotWrite, ErrorText("the archive cannot be written"));
      }
      data += put;
      size -= put;
      pos_ += put;
    }
  }
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override { pos_ = position; }
  void Truncate() override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(pos_);
    if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.get())) {
      throw LzhError(Status::kCannotWrite, ErrorText("the archive cannot be written"));
    }
  }
  // The data reaches the disk before the name does, so the archive under
  // its real name is never an empty or partial file.
  void Commit(const std::wstring& target) {
    if (!FlushFileBuffers(file_.get())) throw LzhError(Status::kCannotWrite, ErrorText("the archive cannot be written"));
    file_.Close();
    if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw LzhError(Status::kMakeArchive, ErrorText("cannot be put in place"));
    }
    committed_ = true;
  }

 private:
  Handle file_;
  std::wstring path_;
  std::uint64_t pos_ = 0;
  bool committed_ = false;
};

std::string FolderOf(const std::string& path) { return path.substr(0, lzh::FileNameStart(path)); }

FILETIME ToFileTime(std::uint64_t t) { return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}; }

}  // namespace

std::wstring WideFromShiftJis(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) throw LzhError(Status::kBadCommand, "\"" + text + "\" is not Shift-JIS text");
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string ShiftJisFromWide(const std::wstring& text, bool* fits) {
  *fits = true;
  if (text.empty()) return {};
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              "?", &usedDefault);
  std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n, "?",
                      &usedDefault);
  *fits = n > 0 && !usedDefault;
  return out;
}

std::vector<lzh::FoundFile> WinFileSystem::Find(const std::string& pattern) {
  std::vector<lzh::FoundFile> found;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(WideFromShiftJis(pattern).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  const std::string folder = FolderOf(pattern);
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    lzh::FoundFile f;
    f.name = ShiftJisFromWide(name, &f.nameFits);
    f.path = folder + f.name;
    f.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    f.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    f.attributes = static_cast<std::uint16_t>(data.dwFileAttributes &
                                              (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    f.times = lzh::FileTimes{FromFileTime(data.ftCreationTime), FromFileTime(data.ftLastWriteTime),
                             FromFileTime(data.ftLastAccessTime)};
    f.unixTime = lzh::UnixFromFileTime(f.times->lastWrite);
    found.push_back(std::move(f));
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

std::unique_ptr<lzh::InputFile> WinFileSystem::OpenInput(const std::string& path) {
  // Others may keep the file open for writing: a program's data file is
  // backed up while the program may already be starting.
  HANDLE h = CreateFileW(WideFromShiftJis(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LzhError(Status::kFileOpen, ErrorText("cannot be opened"));
  return std::make_unique<WinInput>(h);
}

std::unique_ptr<lzh::ArchiveFile> WinFileSystem::OpenArchive(const std::string& path) {
  HANDLE h = CreateFileW(WideFromShiftJis(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return nullptr;
    throw LzhError(Status::kCannotRead, path + ": " + ErrorText("the archive cannot be opened"));
  }
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  return std::make_unique<WinArchive>(h, static_cast<std::uint64_t>(size.QuadPart));
}

std::unique_ptr<lzh::OutputFile> WinFileSystem::CreateTemporary(const std::string& path) {
  std::string folder = FolderOf(path);
  std::wstring wideFolder = folder.empty() ? L"." : WideFromShiftJis(folder);
  wchar_t temp[MAX_PATH + 1] = {};
  // GetTempFileNameW makes the file, so the name is ours alone.
  if (GetTempFileNameW(wideFolder.c_str(), L"lzh", 0, temp) == 0) {
    throw LzhError(Status::kMakeArchive, ErrorText("no temporary file can be made in its folder"));
  }
  HANDLE h = CreateFileW(temp, GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::string text = ErrorText("no temporary file can be made in its folder");
    DeleteFileW(temp);
    throw LzhError(Status::kMakeArchive, text);
  }
  return std::make_unique<WinOutput>(h, temp);
}

void WinFileSystem::Commit(std::unique_ptr<lzh::OutputFile> temporary, const std::string& path) {
  static_cast<WinOutput&>(*temporary).Commit(WideFromShiftJis(path));
}

std::string WinFileSystem::FullPath(const std::string& path) {
  std::wstring wide = WideFromShiftJis(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(n);
  bool fits = true;
  return ShiftJisFromWide(full, &fits);
}

lzh::CivilTime WinFileSystem::LocalTime(std::uint32_t unixTime) {
  const std::uint64_t ticks = lzh::FileTimeFromUnix(unixTime);
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
    return lzh::CivilFromUnix(unixTime);
  }
  return lzh::CivilTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

lzh::EntryKind WinFileSystem::Examine(const std::string& path, std::uint64_t* lastWrite) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WideFromShiftJis(path).c_str(), GetFileExInfoStandard, &data)) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? lzh::EntryKind::kNone : lzh::EntryKind::kOther;
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) return lzh::EntryKind::kOther;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return lzh::EntryKind::kFolder;
  if (lastWrite != nullptr) *lastWrite = FromFileTime(data.ftLastWriteTime);
  return lzh::EntryKind::kFile;
}

void WinFileSystem::MakeFolder(const std::string& path) {
  if (!CreateDirectoryW(WideFromShiftJis(path).c_str(), nullptr)) {
    throw LzhError(Status::kDirectory, ErrorText("the folder cannot be made"));
  }
}

void WinFileSystem::SetFileInfo(const std::string& path, const lzh::FileTimes& times,
                                std::optional<std::uint16_t> attributes) {
  const std::wstring wide = WideFromShiftJis(path);
  {
    // Attributes last: a read-only file still takes new times, but only
    // through a handle opened before it became read-only.
    Handle file(CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw LzhError(Status::kCannotWrite, ErrorText("the time stamp cannot be set"));
    FILETIME creation = ToFileTime(times.creation);
    FILETIME access = ToFileTime(times.lastAccess);
    FILETIME write = ToFileTime(times.lastWrite);
    // A null pointer leaves that time as it is.
    if (!SetFileTime(file.get(), times.creation != 0 ? &creation : nullptr, times.lastAccess != 0 ? &access : nullptr,
                     times.lastWrite != 0 ? &write : nullptr)) {
      throw LzhError(Status::kCannotWrite, ErrorText("the time stamp cannot be set"));
    }
  }
  if (attributes) {
    DWORD bits = *attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE);
    if (!SetFileAttributesW(wide.c_str(), bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL)) {
      throw LzhError(Status::kCannotWrite, ErrorText("the attributes cannot be set"));
    }
  }
}

std::uint64_t WinFileSystem::FileTimeFromLocal(const lzh::CivilTime& local) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(local.year);
  st.wMonth = static_cast<WORD>(local.month);
  st.wDay = static_cast<WORD>(local.day);
  st.wHour = static_cast<WORD>(local.hour);
  st.wMinute = static_cast<WORD>(local.minute);
  st.wSecond = static_cast<WORD>(local.second);
  FILETIME localTime;
  FILETIME utc;
  if (!SystemTimeToFileTime(&st, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc)) return 0;
  return FromFileTime(utc);
}

}  // namespace kb::unlha
