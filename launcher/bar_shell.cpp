#include "launcher/bar_shell.h"

#include "win/text.h"

namespace kb {
namespace {
const wchar_t kSystemIni[] = L"SYSTEM.INI";  // no folder: the Windows folder's
const wchar_t kBoot[] = L"boot";
const wchar_t kSaverKey[] = L"SCRNSAVE.EXE";
}  // namespace

UINT_PTR BarShell::AppBarMessage(DWORD message, APPBARDATA& data) {
  return SHAppBarMessage(message, &data);
}

BOOL BarShell::SystemParameters(UINT action, UINT param, void* value, UINT winIni) {
  return SystemParametersInfoW(action, param, value, winIni);
}

std::optional<std::string> BarShell::ReadSaverEntry() {
  wchar_t value[MAX_PATH + 1] = L"";
  GetPrivateProfileStringW(kBoot, kSaverKey, L"", value, MAX_PATH + 1, kSystemIni);
  return win::Narrow(value);
}

void BarShell::WriteSaverEntry(const std::string& sjisValue) {
  WritePrivateProfileStringW(kBoot, kSaverKey, win::Widen(sjisValue).c_str(), kSystemIni);
}

}  // namespace kb
