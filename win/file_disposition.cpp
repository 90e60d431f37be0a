#include "win/file_disposition.h"

#include <algorithm>
#include <vector>

#include "common/system_function.h"

namespace kb::win {

namespace {

// FILE_INFORMATION_CLASS of the native call: FileDispositionInformation.
constexpr int kNtDisposition = 13;

struct IoStatus {
  void* status;
  ULONG_PTR information;
};

bool RenameThroughHandle(HANDLE file, const std::wstring& destination,
                         const FileFunctions& functions) {
  const size_t nameBytes = destination.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::copy(destination.begin(), destination.end(), info->FileName);
  return functions.setInformation(file, FileRenameInfo, info,
                                  static_cast<DWORD>(buffer.size())) != 0;
}

}  // namespace

const FileFunctions& SystemFileFunctions() {
  static const FileFunctions functions{
      SystemFunction<FileFunctions::SetInformationProc>(L"kernel32.dll",
                                                            "SetFileInformationByHandle"),
      SystemFunction<FileFunctions::NtSetInformationProc>(L"ntdll.dll",
                                                              "NtSetInformationFile")};
  return functions;
}

bool SetDeleteMark(HANDLE file, bool doDelete, const FileFunctions& functions) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = doDelete ? TRUE : FALSE;
  if (functions.setInformation) {
    return functions.setInformation(file, FileDispositionInfo, &info, sizeof info) != 0;
  }
  if (!functions.ntSetInformation) return false;
  // The structure is the native one (one BOOLEAN); the call returns an
  // NTSTATUS, negative on failure.
  IoStatus status{};
  return functions.ntSetInformation(file, &status, &info, sizeof info, kNtDisposition) >= 0;
}

bool ReplaceWithOpenFile(HANDLE file, const std::wstring& name, const std::wstring& destination,
                         const FileFunctions& functions) {
  if (!SetDeleteMark(file, false, functions)) {
    CloseHandle(file);
    return false;
  }
  return RenameOpenFile(file, name, destination, functions);
}

bool RenameOpenFile(HANDLE file, const std::wstring& name, const std::wstring& destination,
                    const FileFunctions& functions) {
  if (functions.setInformation) {
    // Renamed through the open handle: there is no moment at which the file
    // exists unmarked and closed.
    const bool renamed = RenameThroughHandle(file, destination, functions);
    if (!renamed) SetDeleteMark(file, true, functions);
    CloseHandle(file);
    return renamed;
  }
  // Windows XP renames only by name, and not while the file is open without
  // sharing.  MOVEFILE_WRITE_THROUGH: the call returns once the rename is on
  // disk.  A crash between the two steps leaves the complete file under its
  // temporary name, never a torn destination.
  CloseHandle(file);
  if (MoveFileExW(name.c_str(), destination.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(name.c_str());
  return false;
}

}  // namespace kb::win
