// The archiver family's calling interface as this library answers it: the
// record FindFirst / FindNext fill, the function numbers of
// UnlhaQueryFunctionList, the open and check modes, and the result codes
// that belong to the handle functions alone.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kb::unlha {

// Longest stored path the record holds (bytes, without the NUL).
constexpr std::size_t kNameMax = 512;

// The family's structures are byte-aligned.
#pragma pack(push, 1)
struct IndividualInfo {
  DWORD originalSize;
  DWORD compressedSize;
  DWORD crc;
  UINT flag;    // the result of a command for this member; 0 in a listing
  UINT osType;  // OsTypeNumber
  WORD ratio;   // thousandths
  WORD date;    // MS-DOS local date
  WORD time;    // MS-DOS local time
  char fileName[kNameMax + 1];
  char padding[3];
  char attribute[8];  // AttributeText
  char mode[8];       // the method, "-lh5-"
};
#pragma pack(pop)
static_assert(sizeof(IndividualInfo) == 558, "the family's INDIVIDUALINFO");

// The progress callback of UnlhaSetOwnerWindowEx(64).
using ArchiverProc = BOOL(CALLBACK*)(HWND, UINT, UINT, void*);

// Function numbers for UnlhaQueryFunctionList.
enum Function : int {
  kFnCommand = 0,
  kFnGetVersion = 1,
  kFnGetCursorInterval = 2,
  kFnSetCursorInterval = 3,
  kFnGetBackGroundMode = 4,
  kFnSetBackGroundMode = 5,
  kFnGetCursorMode = 6,
  kFnSetCursorMode = 7,
  kFnGetRunning = 8,
  kFnCheckArchive = 16,
  kFnConfigDialog = 17,
  kFnGetFileCount = 18,
  kFnQueryFunctionList = 19,
  kFnOpenArchive = 23,
  kFnCloseArchive = 24,
  kFnFindFirst = 25,
  kFnFindNext = 26,
  kFnSetOwnerWindow = 31,
  kFnClearOwnerWindow = 32,
  kFnSetOwnerWindowEx = 33,
  kFnKillOwnerWindowEx = 34,
  kFnGetArcFileName = 40,
  kFnGetArcFileSize = 41,
  kFnGetArcOriginalSize = 42,
  kFnGetArcCompressedSize = 43,
  kFnGetArcRatio = 44,
  kFnGetArcDate = 45,
  kFnGetArcTime = 46,
  kFnGetArcOsType = 47,
  kFnIsSfxFile = 48,
  kFnGetArcWriteTimeEx = 49,
  kFnGetArcCreateTimeEx = 50,
  kFnGetArcAccessTimeEx = 51,
  kFnGetFileName = 57,
  kFnGetOriginalSize = 58,
  kFnGetCompressedSize = 59,
  kFnGetRatio = 60,
  kFnGetDate = 61,
  kFnGetTime = 62,
  kFnGetCrc = 63,
  kFnGetAttribute = 64,
  kFnGetOsType = 65,
  kFnGetMethod = 66,
  kFnGetWriteTime = 67,
  kFnGetCreateTime = 68,
  kFnGetAccessTime = 69,
  kFnGetWriteTimeEx = 70,
  kFnGetCreateTimeEx = 71,
  kFnGetAccessTimeEx = 72,
  kFnGetArcFileSizeEx = 82,
  kFnGetArcOriginalSizeEx = 83,
  kFnGetArcCompressedSizeEx = 84,
  kFnGetOriginalSizeEx = 85,
  kFnGetCompressedSizeEx = 86,
  kFnSetOwnerWindowEx64 = 87,
  kFnKillOwnerWindowEx64 = 88,
  kFnSetUnicodeMode = 114,
};

// UnlhaOpenArchive's modes that change what this library does: how
// FindFirst's patterns are compared.
constexpr DWORD kModeCheckAllPath = 0x00000100;
constexpr DWORD kModeCheckFileNameOnly = 0x00000200;

// UnlhaCheckArchive: the mode bit that asks for every member's CRC.
constexpr int kCheckFullCrc = 2;

// Result codes of the handle functions (the family's values).
constexpr int kFoundNothing = -1;          // FindFirst / FindNext: no (further) member matches
constexpr int kNotSearchMode = 0x8022;     // no FindFirst before, or the search is over
constexpr int kAnswerTooBig = 0x804A;      // the caller's buffer cannot hold the whole answer

}  // namespace kb::unlha
