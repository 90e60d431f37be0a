// The start-with-Windows value of TIconTray: the Run key of the machine, or
// of the user where the machine's key may not be written.
#include <optional>

#include "components/icon_tray.h"
#include "win/text.h"

namespace kb {
namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run";

// The running program's full path, in quotes: Windows reads an unquoted
// command line with blanks up to the first blank that names a program, so
// "C:\Program Files\x\a.exe" would start C:\Program.exe where one exists.
std::wstring QuotedProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return L"\"" + path + L"\"";
}

std::optional<std::wstring> ReadValue(HKEY root, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::wstring> value;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      type == REG_SZ) {
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &bytes) == ERROR_SUCCESS) {
      data.resize(wcsnlen(data.c_str(), data.size()));
      value = data;
    }
  }
  RegCloseKey(key);
  return value;
}

// Under UAC, a program without a manifest that may not write the machine's
// keys has those writes quietly redirected into a per-user copy, which
// Windows never reads at log-on: for it the machine's Run key counts as not
// writable.  Before Windows Vista the question fails and nothing changes.
bool RegistryVirtualized() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD enabled = 0, size = 0;
  const bool answered = GetTokenInformation(token, TokenVirtualizationEnabled, &enabled,
                                            sizeof enabled, &size) != FALSE;
  CloseHandle(token);
  return answered && enabled != 0;
}

void DeleteValue(HKEY root, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name.c_str());  // a missing value is no error
  RegCloseKey(key);
}

}  // namespace

HKEY TIconTray::OpenRunKeyForWriting(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE && RegistryVirtualized()) return nullptr;
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

void TIconTray::RegisterRun(const std::string& name) {
  const std::wstring wideName = win::Widen(name);
  const std::wstring data = QuotedProgramPath();
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  auto writeUnder = [&](HKEY root) {
    HKEY key = OpenRunKeyForWriting(root);
    if (!key) return false;
    const LONG result = RegSetValueExW(key, wideName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()), bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
  };
  // One value only: a second one would start a second launcher at log-on,
  // which then only reports that one runs already.
  if (writeUnder(HKEY_LOCAL_MACHINE)) {
    DeleteValue(HKEY_CURRENT_USER, wideName);
    return;
  }
  if (ReadValue(HKEY_LOCAL_MACHINE, wideName) == data) return;  // set up once by an administrator
  if (writeUnder(HKEY_CURRENT_USER)) return;
  throw ERunKeyError("Run key value '" + name + "' cannot be written");
}

void TIconTray::UnregisterRun(const std::string& name) {
  const std::wstring wideName = win::Widen(name);
  DeleteValue(HKEY_LOCAL_MACHINE, wideName);
  DeleteValue(HKEY_CURRENT_USER, wideName);
}

}  // namespace kb
