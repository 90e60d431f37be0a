// Pelkan2.exe: the launcher's entry.  One launcher per machine: the named
// mutex is tested and created in one step, so two launchers started at the
// same instant cannot both pass.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

#include "common/path.h"
#include "launcher/app.h"
#include "launcher/identity.h"
#include "win/message_dlg.h"
#include "win/text.h"

namespace {

// The executable's full path, however long.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Every data path is built from this folder, never from the current one.
std::optional<std::string> ExeFolder() {
  const std::optional<std::string> path = kb::win::Narrow(ModulePath());
  if (!path || path->empty()) return std::nullopt;
  return kb::FolderPart(*path);
}

int RunLauncher(const std::string& exeDir) {
  kb::App app(kb::AppOptions{exeDir});
  // The bar appears as soon as it is complete; the hidden windows follow
  // before the message loop starts, so no input reaches a half-made launcher.
  app.CreateBar();
  app.ShowBar();
  app.CreateHiddenForms();
  return app.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kb::win::Widen(kb::kMutexName).c_str());
  const DWORD created = GetLastError();
  if (created == ERROR_ALREADY_EXISTS || (!mutex && created == ERROR_ACCESS_DENIED)) {
    kb::win::MessageDlg(nullptr, "Kobaruneはすでに起動されています。",
                        kb::win::MsgKind::Information, kb::win::MsgButtons::Ok);
    if (mutex) CloseHandle(mutex);
    return 0;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  int exitCode = 0;
  const std::optional<std::string> exeDir = ExeFolder();
  if (!exeDir) {
    kb::win::ErrorBox(nullptr, kb::kAppTitle,
                      "Kobaruneのフォルダ名にShift-JISで表せない文字があります。"
                      "\rKobaruneを別のフォルダに置いてください。");
    exitCode = 1;
  } else {
    try {
      exitCode = RunLauncher(*exeDir);
    } catch (const std::exception& e) {
      kb::win::ErrorBox(nullptr, kb::kAppTitle, e.what());
      exitCode = 1;
    }
  }
  if (mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  return exitCode;
}
