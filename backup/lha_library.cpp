#include "backup/lha_library.h"

#include <string>

#include "common/system_function.h"

namespace kb {

namespace {

using Names = std::array<const char*, LhaLibrary::kExportCount>;

constexpr Names kNames = {
    "UnlhaGetVersion", "UnlhaGetSubVersion", "UnlhaGetRunning", "UnlhaGetBackGroundMode",
    "UnlhaSetBackGroundMode", "UnlhaGetCursorMode", "UnlhaSetCursorMode",
    "UnlhaGetCursorInterval", "UnlhaSetCursorInterval", "Unlha", "UnlhaCheckArchive",
    "UnlhaConfigDialog", "UnlhaGetFileCount", "UnlhaOpenArchive", "UnlhaCloseArchive",
    "UnlhaFindFirst", "UnlhaFindNext", "UnlhaGetArcFileName", "UnlhaGetArcFileSize",
    "UnlhaGetArcOriginalSize", "UnlhaGetArcCompressedSize", "UnlhaGetArcRatio",
    "UnlhaGetArcDate", "UnlhaGetArcTime", "UnlhaGetArcOSType", "UnlhaGetFileName",
    "UnlhaGetMethod", "UnlhaGetOriginalSize", "UnlhaGetCompressedSize", "UnlhaGetRatio",
    "UnlhaGetDate", "UnlhaGetTime", "UnlhaGetWriteTime", "UnlhaGetAccessTime",
    "UnlhaGetCreateTime", "UnlhaGetCRC", "UnlhaGetAttribute", "UnlhaGetOSType",
    "UnlhaQueryFunctionList", "UnlhaSetOwnerWindow", "UnlhaClearOwnerWindow",
};

constexpr size_t kGetVersion = 0;
constexpr size_t kUnlha = 9;

using GetVersionProc = WORD(WINAPI*)();
using UnlhaProc = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);

void ShowNotLoaded(size_t index) {
  const std::string text = std::string(kNames[index]) + ": LHA.DLL not loaded.";
  // The text is plain ASCII: widened character by character.
  const std::wstring wide(text.begin(), text.end());
  MessageBoxW(nullptr, wide.c_str(), L"PANIC!!", MB_OK | MB_ICONERROR);
}

// One fallback per export, taking that export's arguments: the entry points
// clean their own arguments off the stack, so a fallback of another shape
// would leave the caller's stack wrong.  Nothing may unwind out of it.
template <size_t I, class R, class... A>
R WINAPI NotLoaded(A...) noexcept {
  try {
    ShowNotLoaded(I);
  } catch (...) {
  }
  return R{};
}

template <size_t I, class R, class... A>
void* Fallback() {
  return reinterpret_cast<void*>(&NotLoaded<I, R, A...>);
}

using INFO = void*;  // INDIVIDUALINFO*: only ever passed on

const std::array<void*, LhaLibrary::kExportCount>& Fallbacks() {
  static const std::array<void*, LhaLibrary::kExportCount> fallbacks = {
      Fallback<0, WORD>(),                                   // UnlhaGetVersion
      Fallback<1, WORD>(),                                   // UnlhaGetSubVersion
      Fallback<2, BOOL>(),                                   // UnlhaGetRunning
      Fallback<3, BOOL>(),                                   // UnlhaGetBackGroundMode
      Fallback<4, BOOL, BOOL>(),                             // UnlhaSetBackGroundMode
      Fallback<5, BOOL>(),                                   // UnlhaGetCursorMode
      Fallback<6, BOOL, BOOL>(),                             // UnlhaSetCursorMode
      Fallback<7, WORD>(),                                   // UnlhaGetCursorInterval
      Fallback<8, BOOL, WORD>(),                             // UnlhaSetCursorInterval
      Fallback<9, int, HWND, LPCSTR, LPSTR, DWORD>(),        // Unlha
      Fallback<10, BOOL, LPCSTR, int>(),                     // UnlhaCheckArchive
      Fallback<11, BOOL, HWND, LPSTR, int>(),                // UnlhaConfigDialog
      Fallback<12, int, LPCSTR>(),                           // UnlhaGetFileCount
      Fallback<13, HARC, HWND, LPCSTR, DWORD>(),             // UnlhaOpenArchive
      Fallback<14, int, HARC>(),                             // UnlhaCloseArchive
      Fallback<15, int, HARC, LPCSTR, INFO>(),               // UnlhaFindFirst
      Fallback<16, int, HARC, INFO>(),                       // UnlhaFindNext
      Fallback<17, int, HARC, LPSTR, int>(),                 // UnlhaGetArcFileName
      Fallback<18, DWORD, HARC>(),                           // UnlhaGetArcFileSize
      Fallback<19, DWORD, HARC>(),                           // UnlhaGetArcOriginalSize
      Fallback<20, DWORD, HARC>(),                           // UnlhaGetArcCompressedSize
      Fallback<21, WORD, HARC>(),                            // UnlhaGetArcRatio
      Fallback<22, WORD, HARC>(),                            // UnlhaGetArcDate
      Fallback<23, WORD, HARC>(),                            // UnlhaGetArcTime
      Fallback<24, UINT, HARC>(),                            // UnlhaGetArcOSType
      Fallback<25, int, HARC, LPSTR, int>(),                 // UnlhaGetFileName
      Fallback<26, int, HARC, LPSTR, int>(),                 // UnlhaGetMethod
      Fallback<27, DWORD, HARC>(),                           // UnlhaGetOriginalSize
      Fallback<28, DWORD, HARC>(),                           // UnlhaGetCompressedSize
      Fallback<29, WORD, HARC>(),                            // UnlhaGetRatio
      Fallback<30, WORD, HARC>(),                            // UnlhaGetDate
      Fallback<31, WORD, HARC>(),                            // UnlhaGetTime
      Fallback<32, DWORD, HARC>(),                           // UnlhaGetWriteTime
      Fallback<33, DWORD, HARC>(),                           // UnlhaGetAccessTime
      Fallback<34, DWORD, HARC>(),                           // UnlhaGetCreateTime
      Fallback<35, DWORD, HARC>(),                           // UnlhaGetCRC
      Fallback<36, int, HARC>(),                             // UnlhaGetAttribute
      Fallback<37, UINT, HARC>(),                            // UnlhaGetOSType
      Fallback<38, BOOL, int>(),                             // UnlhaQueryFunctionList
      Fallback<39, BOOL, HWND>(),                            // UnlhaSetOwnerWindow
      Fallback<40, BOOL>(),                                  // UnlhaClearOwnerWindow
  };
  return fallbacks;
}

// Keeps the system's error boxes away while it lives: for this thread alone
// from Windows 7 on, for the whole process before (Windows XP has only the
// process-wide SetErrorMode).
class ErrorModeGuard {
 public:
  ErrorModeGuard() {
    constexpr DWORD kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
    if (threadMode_) {
      threadMode_(kQuiet, &oldMode_);
    } else {
      oldMode_ = SetErrorMode(kQuiet);
    }
  }
  ~ErrorModeGuard() {
    if (threadMode_) {
      threadMode_(oldMode_, nullptr);
    } else {
      SetErrorMode(oldMode_);
    }
  }
  ErrorModeGuard(const ErrorModeGuard&) = delete;
  ErrorModeGuard& operator=(const ErrorModeGuard&) = delete;

 private:
  using ThreadModeProc = BOOL WINAPI(DWORD, LPDWORD);
  ThreadModeProc* const threadMode_ =
      SystemFunction<ThreadModeProc>(L"kernel32.dll", "SetThreadErrorMode");
  DWORD oldMode_ = 0;
};

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  return path;
}

}  // namespace

LhaLibrary::LhaLibrary() : slots_(Fallbacks()) {}

LhaLibrary::~LhaLibrary() {
  if (module_) FreeLibrary(module_);
}

const std::array<const char*, LhaLibrary::kExportCount>& LhaLibrary::ExportNames() {
  return kNames;
}

WORD LhaLibrary::UnlhaGetVersion() const {
  return reinterpret_cast<GetVersionProc>(slots_[kGetVersion])();
}

int LhaLibrary::Unlha(HWND owner, const char* commandLine, char* output, DWORD size) const {
  return reinterpret_cast<UnlhaProc>(slots_[kUnlha])(owner, commandLine, output, size);
}

bool LhaLibrary::LoadFrom(const std::wstring& path) {
  if (module_ || path.empty()) return false;
  // A damaged file must not bring up the system's error box on the way.
  const ErrorModeGuard quiet;
  // A full path, and the library's own folder first for what it needs: no
  // search through the current folder or the PATH.  (Not the
  // LOAD_LIBRARY_SEARCH_* flags: Windows XP refuses them and would load
  // nothing.)
  module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module_) return false;
  for (size_t i = 0; i < kExportCount; ++i) {
    if (FARPROC address = GetProcAddress(module_, kNames[i])) {
      slots_[i] = reinterpret_cast<void*>(address);
      bound_[i] = true;
    }
  }
  return true;
}

std::shared_ptr<LhaLibrary> LoadLhaLibrary(const std::wstring& launcherFolder) {
  auto library = std::make_shared<LhaLibrary>();
  // Only full paths: an empty folder would turn the name into a search.
  if (launcherFolder.size() > 2 && launcherFolder.back() == L'\\' &&
      library->LoadFrom(launcherFolder + LhaLibrary::kFileName)) {
    return library;
  }
  if (const std::wstring system = SystemFolder(); !system.empty()) {
    library->LoadFrom(system + LhaLibrary::kFileName);
  }
  return library;
}

}  // namespace kb
