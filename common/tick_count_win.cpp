// GetTickCount64 for the static thread library of the toolchain.
//
// The toolchain's prebuilt winpthreads (which libstdc++ of the posix thread
// model uses for std::thread, std::mutex and its own locks) measures its
// timed waits with GetTickCount64, a function of Windows Vista: its import
// alone would keep every program from starting on Windows XP.  This object
// defines the import's address slot itself, so the linker takes it instead
// of the one from kernel32's import library; it is linked into every shipped
// image (the kb_tick_count object library).  The slot leads to
// GetTickCount64 where Windows has it and to an extended GetTickCount on
// Windows XP.
#include <windows.h>

namespace {

using TickProc = ULONGLONG WINAPI();

// No C++ statics with guarded initialisation here: the guard itself may take
// a winpthreads lock, whose wait calls this function.
TickProc* volatile systemTick = nullptr;
volatile LONG resolved = 0;
volatile LONG lock = 0;
DWORD lastTick = 0;
DWORD wraps = 0;

// GetTickCount wraps after 49.7 days; each wrap seen between two calls adds
// 2^32.  (A wrap is missed only when no call falls into a whole period.)
ULONGLONG WINAPI ExtendedTickCount() {
  while (InterlockedExchange(&lock, 1) != 0) Sleep(0);
  const DWORD now = GetTickCount();
  if (now < lastTick) ++wraps;
  lastTick = now;
  const ULONGLONG result = (static_cast<ULONGLONG>(wraps) << 32) | now;
  InterlockedExchange(&lock, 0);
  return result;
}

ULONGLONG WINAPI TickCount64() {
  if (!resolved) {
    // Looked up by hand, not through the common helper: this runs inside
    // the thread library's waits and must take no lock of its own.
    systemTick = reinterpret_cast<TickProc*>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    InterlockedExchange(&resolved, 1);
  }
  TickProc* const system = systemTick;
  return system ? system() : ExtendedTickCount();
}

}  // namespace

// The import's slot under its linker name (stdcall-decorated on i686).
#ifdef _WIN64
extern TickProc* const kbTickCount64Slot __asm__("__imp_GetTickCount64");
#else
extern TickProc* const kbTickCount64Slot __asm__("__imp__GetTickCount64@0");
#endif
TickProc* const kbTickCount64Slot = &TickCount64;
