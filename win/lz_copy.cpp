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
  void reset(HANDLE h) {
    if (valid()) CloseHandle(h_);
    h_ = h;
  }
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
// renaming, and unless `mark` is false already marked for deletion.  On
// failure the last error is the create's (ERROR_PATH_NOT_FOUND: the folder
// is gone).
HANDLE CreateTemporary(const std::wstring& folder, std::wstring& name, bool mark = true) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = folder + L"~kb" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetCurrentThreadId()) + L"_" + std::to_wstring(++counter) + L".tmp";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (!mark || win::SetDeleteMark(file, true)) return file;
      // Without a deletion mark the file would outlive a crash: give up.
      CloseHandle(file);
      DeleteFileW(name.c_str());
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

// The whole content of `from` into `to`.  The block is one byte larger
// than a file that fits in one, so a single short read tells the end: a
// small file costs one read and one write.
bool CopyContent(HANDLE from, HANDLE to, LONGLONG size, std::vector<char>& block,
                 const std::atomic<bool>* stop) {
  const size_t wanted =
      static_cast<size_t>(std::min<LONGLONG>(size + 1, static_cast<LONGLONG>(kBlockSize)));
  if (block.size() < wanted) block.resize(wanted);
  const DWORD ask = static_cast<DWORD>(wanted);
  for (;;) {
    if (stop && stop->load()) return false;
    DWORD got = 0;
    if (!ReadFile(from, block.data(), ask, &got, nullptr)) return false;
    if (got == 0) return true;
    DWORD put = 0;
    if (!WriteFile(to, block.data(), got, &put, nullptr) || put != got) return false;
    if (got < ask) return true;
  }
}

// Opens the source so that others may read it meanwhile, not write it, and
// takes its size.  A folder cannot be opened this way, nor a file its
// program holds without sharing.
HANDLE OpenSource(const std::wstring& from, LONGLONG& size) {
  HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  LARGE_INTEGER bytes{};
  if (in != INVALID_HANDLE_VALUE &&
      (GetFileType(in) != FILE_TYPE_DISK || !GetFileSizeEx(in, &bytes))) {
    CloseHandle(in);
    return INVALID_HANDLE_VALUE;
  }
  size = bytes.QuadPart;
  return in;
}

// The content of the open source into the temporary file `out`, then the
// temporary file into the destination's place.  An unmarked temporary file
// that does not get there is removed here.
bool FinishCopy(HANDLE in, LONGLONG size, Handle& out, bool marked,
                const std::wstring& temporaryName, const std::wstring& to,
                std::vector<char>& block, const std::atomic<bool>* stop) {
  FILETIME written{};
  const bool copied = CopyContent(in, out.get(), size, block, stop) &&
                      GetFileTime(in, nullptr, nullptr, &written) &&
                      SetFileTime(out.get(), nullptr, nullptr, &written);
  if (copied && !(stop && stop->load())) {
    if (marked ? win::ReplaceWithOpenFile(out.release(), temporaryName, to)
               : win::RenameOpenFile(out.release(), temporaryName, to)) {
      return true;
    }
  } else if (!marked) {
    out.reset(INVALID_HANDLE_VALUE);
    DeleteFileW(temporaryName.c_str());
  }
  return FileExistsW(to);
}

// Removes the temporary files an ended process left in a work folder.  One
// that a live copy holds open cannot be removed and stays.
void SweepWorkFolder(const std::wstring& work) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((work + L"~kb*.tmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileW((work + found.cFileName).c_str());
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

// Whether the destination already is what the copy of the open source
// (`size` bytes, one block) would make: same size, same last-write time and,
// read back, the same bytes.  The source is read from its start and left at
// its start again.
bool AlreadyCopied(HANDLE in, LONGLONG size, const std::wstring& to, std::vector<char>& block) {
  WIN32_FILE_ATTRIBUTE_DATA there{};
  FILETIME written{};
  if (!GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &there) ||
      (there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      ((static_cast<LONGLONG>(there.nFileSizeHigh) << 32) | there.nFileSizeLow) != size ||
      !GetFileTime(in, nullptr, nullptr, &written) ||
      CompareFileTime(&written, &there.ftLastWriteTime) != 0) {
    return false;
  }
  // Nobody may write the copy while it is compared.
  Handle copy(CreateFileW(to.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!copy.valid()) return false;
  const size_t bytes = static_cast<size_t>(size);
  if (block.size() < 2 * bytes + 2) block.resize(2 * bytes + 2);
  const DWORD ask = static_cast<DWORD>(bytes + 1);
  DWORD fromSource = 0, fromCopy = 0;
  const bool same = ReadFile(in, block.data(), ask, &fromSource, nullptr) &&
                    ReadFile(copy.get(), block.data() + ask, ask, &fromCopy, nullptr) &&
                    fromSource == bytes && fromCopy == bytes &&
                    std::equal(block.data(), block.data() + bytes, block.data() + ask);
  LARGE_INTEGER start{};
  return SetFilePointerEx(in, start, nullptr, FILE_BEGIN) && same;
}

bool PathsFit(const std::string& source, const std::string& destination) {
  return source.size() <= kMaxBackupPath && destination.size() <= kMaxBackupPath;
}

}  // namespace

bool LzCopyFile(const std::string& source, const std::string& destination,
                const std::atomic<bool>* stop) {
  if (!PathsFit(source, destination)) return false;
  const std::wstring from = win::Widen(source);
  const std::wstring to = win::Widen(destination);
  LONGLONG size = 0;
  Handle in(OpenSource(from, size));
  if (!in.valid()) return FileExistsW(to);
  std::wstring temporaryName;
  Handle out(CreateTemporary(FolderOf(to), temporaryName));
  if (!out.valid()) return FileExistsW(to);
  std::vector<char> block;
  return FinishCopy(in.get(), size, out, true, temporaryName, to, block, stop);
}

CopySession::~CopySession() {
  // A work folder still in use by another copy is not empty and stays; the
  // last session into that folder removes it.
  for (const Work& w : folders_) {
    if (w.work.empty() || RemoveDirectoryW(w.work.c_str())) continue;
    SweepWorkFolder(w.work);
    RemoveDirectoryW(w.work.c_str());
  }
}

const std::wstring& CopySession::WorkFolder(const std::wstring& folder, bool remake) {
  auto known = std::find_if(folders_.begin(), folders_.end(),
                            [&](const Work& w) { return w.folder == folder; });
  if (known != folders_.end() && !remake) return known->work;
  if (known == folders_.end()) known = folders_.insert(folders_.end(), Work{folder, {}});
  std::wstring work = folder + kCopyWorkFolder;
  if (CreateDirectoryW(work.c_str(), nullptr)) {
    SetFileAttributesW(work.c_str(), FILE_ATTRIBUTE_HIDDEN);
  } else {
    // Left by a process that ended while copying, or in use by another
    // copy: shared.  Anything else of that name is not ours.
    const DWORD attributes = GetFileAttributesW(work.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      work.clear();
    } else {
      work += L'\\';
      SweepWorkFolder(work);
    }
  }
  if (!work.empty() && work.back() != L'\\') work += L'\\';
  known->work = std::move(work);
  return known->work;
}

bool CopySession::Copy(const std::string& source, const std::string& destination,
                       const std::atomic<bool>* stop) {
  if (!PathsFit(source, destination)) return false;
  const std::wstring from = win::Widen(source);
  const std::wstring to = win::Widen(destination);
  LONGLONG size = 0;
  Handle in(OpenSource(from, size));
  if (!in.valid()) return FileExistsW(to);

  // A destination folder that does not exist gets no work folder, and the
  // temporary file beside fails too: nothing is made.  The work folder is
  // made with the first copy into a folder, also one that is left as it is:
  // so what an ended process left there goes in any case.
  const std::wstring folder = FolderOf(to);
  WorkFolder(folder, false);
  // A backup mostly finds most of its files as the last one left them: a
  // copy that already holds the source's bytes and time stamp stays as it
  // is, which costs two opens instead of making a file and replacing one.
  if (size + 1 <= static_cast<LONGLONG>(kBlockSize) && AlreadyCopied(in.get(), size, to, block_)) {
    return true;
  }
  // A file that fits in one block is in its temporary file only for the
  // moment of one write: it goes unmarked (two calls fewer per file, which
  // is what many small files cost).  Should the process end in that moment,
  // the file stays in the work folder, where the next session into this
  // folder removes it; it never stands beside the copies.
  const bool mark = size + 1 > static_cast<LONGLONG>(kBlockSize);
  std::wstring temporaryName;
  Handle out(INVALID_HANDLE_VALUE);
  bool marked = true;
  for (bool remake : {false, true}) {
    const std::wstring& work = WorkFolder(folder, remake);
    if (work.empty()) break;
    marked = mark;
    out.reset(CreateTemporary(work, temporaryName, mark));
    // Gone: another session into this folder ended meanwhile.
    if (out.valid() || GetLastError() != ERROR_PATH_NOT_FOUND) break;
  }
  if (!out.valid()) {
    marked = true;
    out.reset(CreateTemporary(folder, temporaryName));
  }
  if (!out.valid()) return FileExistsW(to);
  return FinishCopy(in.get(), size, out, marked, temporaryName, to, block_, stop);
}

}  // namespace kb
