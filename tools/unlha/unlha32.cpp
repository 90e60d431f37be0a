// UNLHA32.DLL: the LHA archiver library the launcher binds at run time.
// Commands "a" (add, making the archive), "l"/"v" (list), "t" (test) and
// "e"/"x" (extract) run over the portable core (lzh/); the archive-handle functions are in
// archive_handles.cpp.  Calls may come from several threads at once: what is
// shared (the running commands, the modes and owner windows a caller set)
// is one state object behind a mutex (library_state.h).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>

#include "lzh/archive.h"
#include "lzh/commands.h"
#include "tools/unlha/library_state.h"
#include "tools/unlha/unlha32_api.h"
#include "tools/unlha/win_file_system.h"

namespace {

using kb::lzh::Status;
using namespace kb::unlha;

// Version 1.00 (the family reports the version times 100).
constexpr WORD kVersion = 100;
constexpr WORD kSubVersion = 0;

// Every function this library answers as the family describes.  Left out:
// the configuration dialog (there is none).
constexpr int kImplementedFunctions[] = {
    kFnCommand, kFnGetVersion, kFnGetCursorInterval, kFnSetCursorInterval, kFnGetBackGroundMode,
    kFnSetBackGroundMode, kFnGetCursorMode, kFnSetCursorMode, kFnGetRunning, kFnCheckArchive, kFnGetFileCount,
    kFnQueryFunctionList, kFnOpenArchive, kFnCloseArchive, kFnFindFirst, kFnFindNext, kFnSetOwnerWindow,
    kFnClearOwnerWindow, kFnSetOwnerWindowEx, kFnKillOwnerWindowEx, kFnGetArcFileName, kFnGetArcFileSize,
    kFnGetArcOriginalSize, kFnGetArcCompressedSize, kFnGetArcRatio, kFnGetArcDate, kFnGetArcTime, kFnGetArcOsType,
    kFnIsSfxFile, kFnGetArcWriteTimeEx, kFnGetArcCreateTimeEx, kFnGetArcAccessTimeEx, kFnGetFileName,
    kFnGetOriginalSize, kFnGetCompressedSize, kFnGetRatio, kFnGetDate, kFnGetTime, kFnGetCrc, kFnGetAttribute,
    kFnGetOsType, kFnGetMethod, kFnGetWriteTime, kFnGetCreateTime, kFnGetAccessTime, kFnGetWriteTimeEx,
    kFnGetCreateTimeEx, kFnGetAccessTimeEx, kFnGetArcFileSizeEx, kFnGetArcOriginalSizeEx,
    kFnGetArcCompressedSizeEx, kFnGetOriginalSizeEx, kFnGetCompressedSizeEx, kFnSetOwnerWindowEx64,
    kFnKillOwnerWindowEx64, kFnSetUnicodeMode};

BOOL SetOwnerEx(HWND window, ArchiverProc proc) {
  if (window == nullptr || !IsWindow(window)) return FALSE;
  return State().With([&](LibraryState& s) {
    if (s.ownerEx != nullptr && s.ownerEx != window) return FALSE;  // another caller's window is set
    s.ownerEx = window;
    s.ownerProc = proc;
    return TRUE;
  });
}

BOOL KillOwnerEx(HWND window) {
  return State().With([&](LibraryState& s) {
    if (s.ownerEx == nullptr || s.ownerEx != window) return FALSE;
    s.ownerEx = nullptr;
    s.ownerProc = nullptr;
    return TRUE;
  });
}

// Counts a command as running for UnlhaGetRunning.
class RunningScope {
 public:
  RunningScope() { ++State().running; }
  ~RunningScope() { --State().running; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;
};

// Opens an archive and reads its directory; null when that fails.
std::unique_ptr<kb::lzh::ArchiveFile> OpenForCheck(LPCSTR name, std::vector<kb::lzh::MemberLocation>* members) {
  if (name == nullptr) return nullptr;
  kb::unlha::WinFileSystem fs;
  std::unique_ptr<kb::lzh::ArchiveFile> file = fs.OpenArchive(ShiftJisFromCaller(name));
  if (file) *members = kb::lzh::ReadDirectory(*file);
  return file;
}

}  // namespace

// No exception may leave an export: the caller is foreign code, possibly a
// 32-bit program that cannot unwind through it.
extern "C" {

WORD WINAPI UnlhaGetVersion() { return kVersion; }
WORD WINAPI UnlhaGetSubVersion() { return kSubVersion; }
BOOL WINAPI UnlhaGetRunning() { return State().running.load() > 0; }

BOOL WINAPI UnlhaGetBackGroundMode() {
  return State().With([](LibraryState& s) { return s.backGround ? TRUE : FALSE; });
}
BOOL WINAPI UnlhaSetBackGroundMode(BOOL on) {
  return State().With([&](LibraryState& s) {
    s.backGround = on != FALSE;
    return TRUE;
  });
}
BOOL WINAPI UnlhaGetCursorMode() {
  return State().With([](LibraryState& s) { return s.cursor ? TRUE : FALSE; });
}
BOOL WINAPI UnlhaSetCursorMode(BOOL on) {
  return State().With([&](LibraryState& s) {
    s.cursor = on != FALSE;
    return TRUE;
  });
}
WORD WINAPI UnlhaGetCursorInterval() {
  return State().With([](LibraryState& s) { return s.cursorInterval; });
}
BOOL WINAPI UnlhaSetCursorInterval(WORD interval) {
  return State().With([&](LibraryState& s) {
    s.cursorInterval = interval;
    return TRUE;
  });
}

int WINAPI Unlha(HWND, LPCSTR commandLine, LPSTR output, DWORD size) {
  RunningScope running;
  kb::lzh::CommandResult result;
  try {
    kb::unlha::WinFileSystem fs;
    result = kb::lzh::RunCommand(ShiftJisFromCaller(commandLine), fs);
  } catch (const kb::lzh::LzhError& e) {
    result = {e.status(), std::string("the command line: ") + e.what() + "\r\n"};
  } catch (const std::bad_alloc&) {
    result = {Status::kOutOfMemory, "not enough memory\r\n"};
  } catch (...) {
    result = {Status::kCannotWrite, "the command failed unexpectedly\r\n"};
  }
  try {
    CopyToCaller(result.output, output, size);
  } catch (...) {
    if (output != nullptr && size > 0) output[0] = '\0';
  }
  return static_cast<int>(result.status);
}

// Every mode reads every member header; with the full-CRC bit every member
// is unpacked too.
BOOL WINAPI UnlhaCheckArchive(LPCSTR fileName, int mode) {
  RunningScope running;
  try {
    std::vector<kb::lzh::MemberLocation> members;
    std::unique_ptr<kb::lzh::ArchiveFile> file = OpenForCheck(fileName, &members);
    if (!file) return FALSE;
    if ((mode & kCheckFullCrc) != 0) {
      for (const kb::lzh::MemberLocation& m : members) {
        kb::lzh::UnpackMember(*file, m, [](const std::uint8_t*, std::size_t) {});
      }
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

// There is no configuration dialog: nothing is shown, no option is handed
// back (an empty text), and the answer is the one for a dialog left without
// a change; UnlhaQueryFunctionList says the function is not there.
BOOL WINAPI UnlhaConfigDialog(HWND, LPSTR options, int) {
  if (options != nullptr) options[0] = '\0';
  return FALSE;
}

int WINAPI UnlhaGetFileCount(LPCSTR archive) {
  try {
    std::vector<kb::lzh::MemberLocation> members;
    if (!OpenForCheck(archive, &members)) return -1;
    return static_cast<int>(members.size());
  } catch (...) {
    return -1;
  }
}

BOOL WINAPI UnlhaQueryFunctionList(int function) {
  return std::find(std::begin(kImplementedFunctions), std::end(kImplementedFunctions), function) !=
                 std::end(kImplementedFunctions)
             ? TRUE
             : FALSE;
}

// The owner window: one at a time; a second one is refused until it is
// cleared.
BOOL WINAPI UnlhaSetOwnerWindow(HWND window) {
  if (window == nullptr || !IsWindow(window)) return FALSE;
  return State().With([&](LibraryState& s) {
    if (s.owner != nullptr && s.owner != window) return FALSE;
    s.owner = window;
    return TRUE;
  });
}
BOOL WINAPI UnlhaClearOwnerWindow() {
  return State().With([](LibraryState& s) {
    s.owner = nullptr;
    return TRUE;
  });
}

BOOL WINAPI UnlhaSetOwnerWindowEx(HWND window, ArchiverProc proc) { return SetOwnerEx(window, proc); }
BOOL WINAPI UnlhaKillOwnerWindowEx(HWND window) { return KillOwnerEx(window); }
// The 64-bit variant differs in the record its callback is given, which
// this library never sends; the size must still name a record.
BOOL WINAPI UnlhaSetOwnerWindowEx64(HWND window, ArchiverProc proc, DWORD structSize) {
  return structSize == 0 ? FALSE : SetOwnerEx(window, proc);
}
BOOL WINAPI UnlhaKillOwnerWindowEx64(HWND window) { return KillOwnerEx(window); }

// With the mode on, every text the caller hands in or gets back is UTF-8;
// inside, names stay Shift-JIS, and one that Shift-JIS cannot write is
// refused.
BOOL WINAPI UnlhaSetUnicodeMode(BOOL on) {
  State().unicode = on != FALSE;
  return TRUE;
}

}  // extern "C"
