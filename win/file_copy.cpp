#include "win/file_copy.h"

#include "win/text.h"

namespace kb {

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opening the source with the old copy's share mode (others may read, not
// write) proves it is readable before anything is created.
bool SourceReadable(const std::wstring& source) {
  HANDLE h = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace

bool CopyFileSafely(const std::string& source, const std::string& destination) {
  if (source.size() > kMaxCopyPath || destination.size() > kMaxCopyPath) return false;
  const std::wstring from = win::Widen(source);
  const std::wstring to = win::Widen(destination);
  if (!IsFile(from) || !SourceReadable(from)) return IsFile(to);
  const std::wstring temporary = to + L".~kbcopy";
  if (CopyFileW(from.c_str(), temporary.c_str(), FALSE)) {
    if (!MoveFileExW(temporary.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temporary.c_str());
    }
  } else {
    DeleteFileW(temporary.c_str());
  }
  return IsFile(to);
}

std::optional<std::int64_t> FileAge(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(win::Widen(path).c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  FILETIME local{};
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return std::nullopt;
  }
  return (static_cast<std::int64_t>(date) << 16) | time;
}

}  // namespace kb
