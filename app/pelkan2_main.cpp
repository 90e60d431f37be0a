// Pelkan2.exe: the launcher's entry.  One launcher per machine: the named
// mutex is tested and created in one step, so two launchers started at the
// same instant cannot both pass.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

#include "app/app.h"
#include "common/identity.h"
#include "win/dpi.h"
#include "win/message_dlg.h"
#include "common/module_folder.h"
#include "win/text.h"

namespace {

int RunLauncher(const std::string& exeDir) {
  kb::AppOptions options{exeDir};
  options.firstStartNote = true;  // on a start without a settings file
  options.hotKey = true;
  kb::App app(options);
  // The bar appears as soon as it is complete; the hidden windows follow
  // before the message loop starts, so no input reaches a half-made launcher.
  app.CreateBar();
  app.ShowBar();
  // The common controls (loaded at their first call) are not needed before.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  app.CreateHiddenForms();
  return app.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before any window: the manifest has declared it where the system reads
  // manifests for it; older systems take the calls (or neither).
  kb::win::DeclareDpiAwareness();
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kb::win::Widen(kb::kMutexName).c_str());
  const DWORD created = GetLastError();
  if (created == ERROR_ALREADY_EXISTS || (!mutex && created == ERROR_ACCESS_DENIED)) {
    kb::win::MessageDlg(nullptr, "Kobaruneはすでに起動されています。",
                        kb::win::MsgKind::Information, kb::win::MsgButtons::Ok);
    if (mutex) CloseHandle(mutex);
    return 0;
  }

  int exitCode = 0;
  // Every data path is built from this folder, never from the current one.
  const std::optional<std::string> exeDir = kb::ModuleFolder();
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
