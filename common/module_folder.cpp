#include "common/module_folder.h"

#include <windows.h>

#include "common/encoding.h"

namespace kb {

std::wstring ModuleFolderW() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // cut off: a long path
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::optional<std::string> ModuleFolder() {
  const std::wstring folder = ModuleFolderW();
  if (folder.empty()) return std::nullopt;
  return ShiftJisFromWide(folder);
}

}  // namespace kb
