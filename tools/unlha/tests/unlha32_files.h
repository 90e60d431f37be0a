// What the library's Windows tests share: text in the code pages a caller
// uses, and files written by their Shift-JIS names.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace kb::unlha_testing {

inline std::string Narrow(const std::wstring& w, UINT codePage) {
  const int n = WideCharToMultiByte(codePage, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}
inline std::string ShiftJis(const std::wstring& w) { return Narrow(w, 932); }
inline std::string Utf8(const std::wstring& w) { return Narrow(w, CP_UTF8); }

inline std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(932, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, s.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

// Writes `bytes` as the whole file (made or emptied first).
inline void Put(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD put = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

// The library built beside the test program, loaded by its full path as a
// caller loads it; nullptr when it is not there.
inline HMODULE LoadBuiltLibrary() {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dll = exe;
  dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"UNLHA32.DLL";
  return LoadLibraryW(dll.c_str());
}

}  // namespace kb::unlha_testing
