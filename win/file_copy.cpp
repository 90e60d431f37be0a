#include "win/file_copy.h"

#include "win/lz_copy.h"
#include "win/text.h"

namespace kb {

bool CopyFileSafely(const std::string& source, const std::string& destination) {
  return LzCopyFile(source, destination);
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
