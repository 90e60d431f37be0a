#include "win/testing/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "common/file_io.h"
#include "common/path.h"
#include "win/text.h"

namespace kb::win::testing {

namespace {

void RemoveTreeW(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(full);
      } else {
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
  std::wstring wide = Widen(path);
  if (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  RemoveTreeW(wide);
}

TempFolder::TempFolder(const std::string& tag) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  // The long form: a short 8.3 path would not compare equal to the names the
  // launcher reports back.
  GetLongPathNameW(temp, temp, MAX_PATH);
  path_ = *Narrow(temp) + tag + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++counter) + "\\";
  if (!CreateDirectoryW(Widen(path_).c_str(), nullptr)) {
    throw std::runtime_error("cannot make " + path_);
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void TempFolder::MakeFolder(const std::string& relative) const {
  CreateDirectoryW(Widen(Path(relative)).c_str(), nullptr);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  const std::string folder = FolderPart(relative);
  if (!folder.empty()) MakeFolder(folder);
  if (!WriteFileAtomic(Path(relative), bytes)) throw std::runtime_error("cannot write " + relative);
}

std::string TempFolder::Read(const std::string& relative) const {
  return ReadWholeFile(Path(relative)).value_or("");
}

bool TempFolder::Exists(const std::string& relative) const {
  return GetFileAttributesW(Widen(Path(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempFolder::List(const std::string& relative) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(Widen(Path(relative) + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name).value_or("?"));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kb::win::testing
