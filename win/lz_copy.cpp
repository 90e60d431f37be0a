#include "win/lz_copy.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "model/backup_settings.h"
#include "win/file_disposition.h"
#include "win/text.h"

namespace kb {

namespace {

constexpr DWORD kBlockSize = 1 << 20;

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

bool FileExistsW(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// A new temporary file in `folder`, opened for writing, deleting and
// renaming, and already marked for deletion.
HANDLE CreateTemporary(const std::wstring& folder, std::wstring& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = folder + L"~kb" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetCurrentThreadId()) + L"_" + std::to_wstring(++counter) + L".tmp";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (win::SetDeleteMark(file, true)) return file;
      // Without a deletion mark the file would outlive a crash: give up.
      CloseHandle(file);
      DeleteFileW(name.c_str());
      return INVALID_HANDLE_VALUE;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

bool CopyContent(HANDLE from, HANDLE to, const std::atomic<bool>* stop) {
  LARGE_INTEGER size{};
  GetFileSizeEx(from, &size);
  std::vector<char> block(static_cast<size_t>(
      std::min<LONGLONG>(std::max<LONGLONG>(size.QuadPart, 1), kBlockSize)));
  for (;;) {
    if (stop && stop->load()) return false;
    DWORD got = 0;
    if (!ReadFile(from, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    DWORD put = 0;
    if (!WriteFile(to, block.data(), got, &put, nullptr) || put != got) return false;
  }
}

}  // namespace

bool LzCopyFile(const std::string& source, const std::string& destination,
                const std::atomic<bool>* stop) {
  if (source.size() > kMaxBackupPath || destination.size() > kMaxBackupPath) return false;
  const std::wstring from = win::Widen(source);
  const std::wstring to = win::Widen(destination);

  // Others may read the source meanwhile, not write it.  A folder cannot be
  // opened this way, nor a file its program holds without sharing.
  Handle in(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.valid() || GetFileType(in.get()) != FILE_TYPE_DISK) return FileExistsW(to);

  std::wstring temporaryName;
  Handle out(CreateTemporary(FolderOf(to), temporaryName));
  if (!out.valid()) return FileExistsW(to);

  FILETIME written{};
  const bool copied = CopyContent(in.get(), out.get(), stop) &&
                      GetFileTime(in.get(), nullptr, nullptr, &written) &&
                      SetFileTime(out.get(), nullptr, nullptr, &written);
  if (copied && !(stop && stop->load()) &&
      win::ReplaceWithOpenFile(out.release(), temporaryName, to)) {
    return true;
  }
  return FileExistsW(to);
}

}  // namespace kb
