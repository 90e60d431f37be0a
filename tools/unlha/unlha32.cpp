// UNLHA32.DLL: the LHA archiver library the launcher binds at run time.
// Commands "a" (add, making the archive), "l"/"v" (list) and "t" (test) run
// over the portable core (lzh/); the archive-handle functions of the family
// are present and answer "not supported", so no caller can crash on them.
// Calls may come from several threads at once: nothing here is shared but a
// counter of running commands.
#include <windows.h>

#include <atomic>
#include <new>

#include "lzh/archive.h"
#include "lzh/commands.h"
#include "tools/unlha/win_file_system.h"

namespace {

using kb::lzh::Status;

// Version 1.00 (the family reports the version times 100).
constexpr WORD kVersion = 100;
constexpr WORD kSubVersion = 0;

std::atomic<int> g_running{0};

// The family's function numbers for UnlhaQueryFunctionList that this
// library implements: the command call, the version, the running state,
// the archive check, the member count and the query itself.
constexpr int kImplementedFunctions[] = {0, 1, 8, 16, 18, 19};

constexpr DWORD kNoValue = 0xFFFFFFFF;
constexpr WORD kNoWord = 0xFFFF;
constexpr int kNotOpened = static_cast<int>(Status::kHarcNotOpened);

// Counts a command as running for UnlhaGetRunning.
class RunningScope {
 public:
  RunningScope() { ++g_running; }
  ~RunningScope() { --g_running; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;
};

// Opens an archive and reads its directory; null when that fails.
std::unique_ptr<kb::lzh::ArchiveFile> OpenForCheck(LPCSTR name, std::vector<kb::lzh::MemberLocation>* members) {
  if (name == nullptr) return nullptr;
  kb::unlha::WinFileSystem fs;
  std::unique_ptr<kb::lzh::ArchiveFile> file = fs.OpenArchive(name);
  if (file) *members = kb::lzh::ReadDirectory(*file);
  return file;
}

}  // namespace

// No exception may leave an export: the caller is foreign code, possibly a
// 32-bit program that cannot unwind through it.
extern "C" {

WORD WINAPI UnlhaGetVersion() { return kVersion; }
WORD WINAPI UnlhaGetSubVersion() { return kSubVersion; }
BOOL WINAPI UnlhaGetRunning() { return g_running.load() > 0; }

// The library never shows a window, so there is no background mode and no
// busy cursor to switch.
BOOL WINAPI UnlhaGetBackGroundMode() { return FALSE; }
BOOL WINAPI UnlhaSetBackGroundMode(BOOL) { return FALSE; }
BOOL WINAPI UnlhaGetCursorMode() { return FALSE; }
BOOL WINAPI UnlhaSetCursorMode(BOOL) { return FALSE; }
WORD WINAPI UnlhaGetCursorInterval() { return 0; }
BOOL WINAPI UnlhaSetCursorInterval(WORD) { return FALSE; }

int WINAPI Unlha(HWND, LPCSTR commandLine, LPSTR output, DWORD size) {
  RunningScope running;
  kb::lzh::CommandResult result;
  try {
    kb::unlha::WinFileSystem fs;
    result = kb::lzh::RunCommand(commandLine != nullptr ? commandLine : "", fs);
  } catch (const std::bad_alloc&) {
    result = {Status::kOutOfMemory, "not enough memory\r\n"};
  } catch (...) {
    result = {Status::kCannotWrite, "the command failed unexpectedly\r\n"};
  }
  kb::lzh::CopyToBuffer(result.output, output, size);
  return static_cast<int>(result.status);
}

// Modes 0-2 read every member header; mode 3 (full CRC check) unpacks every
// member too.
BOOL WINAPI UnlhaCheckArchive(LPCSTR fileName, int mode) {
  RunningScope running;
  try {
    std::vector<kb::lzh::MemberLocation> members;
    std::unique_ptr<kb::lzh::ArchiveFile> file = OpenForCheck(fileName, &members);
    if (!file) return FALSE;
    if ((mode & 3) == 3) {
      for (const kb::lzh::MemberLocation& m : members) {
        kb::lzh::UnpackMember(*file, m, [](const std::uint8_t*, std::size_t) {});
      }
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

BOOL WINAPI UnlhaConfigDialog(HWND, LPSTR, int) { return FALSE; }

int WINAPI UnlhaGetFileCount(LPCSTR archive) {
  try {
    std::vector<kb::lzh::MemberLocation> members;
    if (!OpenForCheck(archive, &members)) return -1;
    return static_cast<int>(members.size());
  } catch (...) {
    return -1;
  }
}

// Archive handles: never opened, so every call on one fails in a defined way.
HANDLE WINAPI UnlhaOpenArchive(HWND, LPCSTR, DWORD) { return nullptr; }
int WINAPI UnlhaCloseArchive(HANDLE) { return -1; }
int WINAPI UnlhaFindFirst(HANDLE, LPCSTR, void*) { return kNotOpened; }
int WINAPI UnlhaFindNext(HANDLE, void*) { return kNotOpened; }
int WINAPI UnlhaGetArcFileName(HANDLE, LPSTR, int) { return kNotOpened; }
DWORD WINAPI UnlhaGetArcFileSize(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetArcOriginalSize(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetArcCompressedSize(HANDLE) { return kNoValue; }
WORD WINAPI UnlhaGetArcRatio(HANDLE) { return kNoWord; }
WORD WINAPI UnlhaGetArcDate(HANDLE) { return kNoWord; }
WORD WINAPI UnlhaGetArcTime(HANDLE) { return kNoWord; }
UINT WINAPI UnlhaGetArcOSType(HANDLE) { return kNoValue; }
int WINAPI UnlhaGetFileName(HANDLE, LPSTR, int) { return kNotOpened; }
int WINAPI UnlhaGetMethod(HANDLE, LPSTR, int) { return kNotOpened; }
DWORD WINAPI UnlhaGetOriginalSize(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetCompressedSize(HANDLE) { return kNoValue; }
WORD WINAPI UnlhaGetRatio(HANDLE) { return kNoWord; }
WORD WINAPI UnlhaGetDate(HANDLE) { return kNoWord; }
WORD WINAPI UnlhaGetTime(HANDLE) { return kNoWord; }
DWORD WINAPI UnlhaGetWriteTime(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetAccessTime(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetCreateTime(HANDLE) { return kNoValue; }
DWORD WINAPI UnlhaGetCRC(HANDLE) { return kNoValue; }
int WINAPI UnlhaGetAttribute(HANDLE) { return -1; }
UINT WINAPI UnlhaGetOSType(HANDLE) { return kNoValue; }

BOOL WINAPI UnlhaQueryFunctionList(int function) {
  for (int f : kImplementedFunctions) {
    if (f == function) return TRUE;
  }
  return FALSE;
}

// No window is ever shown, so there is no owner to set.
BOOL WINAPI UnlhaSetOwnerWindow(HWND) { return FALSE; }
BOOL WINAPI UnlhaClearOwnerWindow() { return FALSE; }

}  // extern "C"
