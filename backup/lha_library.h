// The binding of the LHA archiver library UNLHA32.DLL, loaded by name at
// start-up.  Each of its 41 entry points gets a slot; a slot whose library
// or export is missing holds a fallback that tells the user
// "<export>: LHA.DLL not loaded." (message box "PANIC!!") and returns 0.
//
// The library is taken only from the launcher's own folder or the system
// folder, never from the current folder or the PATH, where anybody could
// have put a file of that name.  It is freed when the last holder lets go
// (the launcher at its end, or a backup still running then).
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace kb {

using HARC = HANDLE;

class LhaLibrary {
 public:
  static constexpr size_t kExportCount = 41;
  static constexpr wchar_t kFileName[] = L"UNLHA32.DLL";

  // Every slot holds its fallback; no library.
  LhaLibrary();
  ~LhaLibrary();
  LhaLibrary(const LhaLibrary&) = delete;
  LhaLibrary& operator=(const LhaLibrary&) = delete;

  // The export names in binding order.
  static const std::array<const char*, kExportCount>& ExportNames();

  HMODULE Module() const { return module_; }
  // Whether slot i holds the library's own entry point.
  bool Bound(size_t i) const { return bound_[i]; }
  void* Slot(size_t i) const { return slots_[i]; }

  // The two entry points the backup calls.  Version x 100; 0: unusable.
  WORD UnlhaGetVersion() const;
  // Runs an archiver command line; returns when the archiver has finished.
  int Unlha(HWND owner, const char* commandLine, char* output, DWORD size) const;

  // Binds the library at `path` (a full path); false when it cannot be
  // loaded, and every slot keeps its fallback.
  bool LoadFrom(const std::wstring& path);

 private:
  HMODULE module_ = nullptr;
  std::array<void*, kExportCount> slots_{};
  std::array<bool, kExportCount> bound_{};
};

// Loads UNLHA32.DLL from `launcherFolder` (with its trailing backslash),
// else from the system folder.  A missing library is silent here: the
// fallbacks speak when a backup needs it.
std::shared_ptr<LhaLibrary> LoadLhaLibrary(const std::wstring& launcherFolder);

}  // namespace kb
