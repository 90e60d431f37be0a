// Extraction through UNLHA32.DLL's command call: "x" and "e" into a target
// folder with a 0x5C trail byte in its name, times and attributes restored,
// existing files kept or replaced by the switches, and a hostile archive
// that writes nothing outside its target and no damaged file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lzh/status.h"
#include "lzh/tests/old_formats.h"
#include "tools/unlha/tests/unlha32_files.h"

namespace {

using namespace kb::unlha_testing;

using kb::lzh::Status;
using kb::lzh::testing::OldMember;
using UnlhaFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);

std::string Get(const std::string& path) {
  std::string content;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "(none)";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(h);
  return content;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

FILETIME WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// Every file and folder below folder, relative, folders with a trailing '\'.
void Walk(const std::string& folder, const std::string& prefix, std::vector<std::string>* names) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(Wide(folder + "\\*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string n = ShiftJis(data.cFileName);
    if (n == "." || n == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      names->push_back(prefix + n + "\\");
      Walk(folder + "\\" + n, prefix + n + "\\", names);
    } else {
      names->push_back(prefix + n);
    }
  } while (FindNextFileW(h, &data));
  FindClose(h);
}

std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> names;
  Walk(folder, "", &names);
  std::sort(names.begin(), names.end());
  return names;
}

void Remove(const std::string& folder) {
  std::vector<std::string> names = Tree(folder);
  // Deepest first.
  std::sort(names.rbegin(), names.rend());
  for (const std::string& n : names) {
    std::wstring path = Wide(folder + "\\" + n);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (n.back() == '\\') {
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  }
  RemoveDirectoryW(Wide(folder).c_str());
}

OldMember Stored(const std::string& name, const std::string& content, int level = 2) {
  OldMember m;
  m.level = level;
  m.name = name;
  m.original.assign(content.begin(), content.end());
  m.packed = m.original;
  m.stamp = 1500000000;
  return m;
}

class Unlha32ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadBuiltLibrary();
    ASSERT_NE(module_, nullptr);
    unlha_ = reinterpret_cast<UnlhaFn>(reinterpret_cast<void*>(GetProcAddress(module_, "Unlha")));
    ASSERT_NE(unlha_, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = ShiftJis(temp) + "kb_unlha_x" + std::to_string(GetCurrentProcessId()) + "表";
    data_ = root_ + "\\データ";
    out_ = root_ + "\\出力表";  // ends in a 0x5C trail byte
    CreateDirectoryW(Wide(root_).c_str(), nullptr);
    CreateDirectoryW(Wide(data_).c_str(), nullptr);
  }
  void TearDown() override {
    Remove(root_);
    if (module_ != nullptr) FreeLibrary(module_);
  }

  int Run(const std::string& line, std::string* text) {
    std::vector<char> buffer(65535, '\0');
    int rc = unlha_(nullptr, line.c_str(), buffer.data(), 65534);
    *text = buffer.data();
    return rc;
  }
  void WriteArchive(const std::string& path, const std::vector<OldMember>& members) {
    kb::lzh::testing::Bytes bytes = kb::lzh::testing::OldArchive(members);
    Put(path, std::string(bytes.begin(), bytes.end()));
  }

  HMODULE module_ = nullptr;
  UnlhaFn unlha_ = nullptr;
  std::string root_, data_, out_;
};

TEST_F(Unlha32ExtractTest, OurArchiveComesBackWithTimesAndAttributes) {
  std::string big;
  for (int i = 0; i < 4000; ++i) big += "[Button" + std::to_string(i % 40) + "]\r\nFPFileName=C:\\表示\\app.exe\r\n";
  Put(data_ + "\\KBINI.dat", big);
  Put(data_ + "\\表示.txt", "表示");
  // A time with 100 ns steps in it: the Windows times come back whole.
  const FILETIME stamp{0x12345677, 0x01D00000};
  HANDLE h = CreateFileW(Wide(data_ + "\\KBINI.dat").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &stamp);
  CloseHandle(h);
  SetFileAttributesW(Wide(data_ + "\\表示.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  std::string text;
  const std::string archive = "\"" + root_ + "\\arc\"";
  ASSERT_EQ(Run("a " + archive + " \"" + data_ + "\\*\"", &text), 0) << text;

  ASSERT_EQ(Run("x " + archive + " \"" + out_ + "\\\"", &text), 0) << text;
  EXPECT_EQ(Tree(out_), (std::vector<std::string>{"KBINI.dat", "表示.txt"})) << text;
  EXPECT_EQ(Get(out_ + "\\KBINI.dat"), big);
  EXPECT_EQ(Get(out_ + "\\表示.txt"), "表示");
  FILETIME written = WriteTime(out_ + "\\KBINI.dat");
  EXPECT_EQ(written.dwLowDateTime, stamp.dwLowDateTime);
  EXPECT_EQ(written.dwHighDateTime, stamp.dwHighDateTime);
  DWORD attributes = GetFileAttributesW(Wide(out_ + "\\表示.txt").c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});

  // Again: both files are there and kept; with -c they are replaced.
  Put(out_ + "\\KBINI.dat", "changed");
  EXPECT_EQ(Run("e " + archive + " \"" + out_ + "\\\"", &text), static_cast<int>(Status::kAlreadyExists)) << text;
  EXPECT_NE(text.find("KBINI.dat: already there; skipped"), std::string::npos) << text;
  EXPECT_EQ(Get(out_ + "\\KBINI.dat"), "changed");
  EXPECT_EQ(Run("e -c " + archive + " \"" + out_ + "\\\" *.dat", &text), 0) << text;
  EXPECT_EQ(Get(out_ + "\\KBINI.dat"), big);
  EXPECT_EQ(Tree(out_).size(), 2u) << "no temporary file stays";
}

TEST_F(Unlha32ExtractTest, AHostileArchiveWritesNothingOutsideItsTarget) {
  const std::string driveName = "kb_unlha_drive" + std::to_string(GetCurrentProcessId()) + ".txt";
  OldMember link = Stored("lnk|C:\\windows", "");
  link.method = "-lhd-";
  link.os = 'U';
  link.extensions.push_back({0x50, {0xFF, 0xA1}});
  OldMember bad = Stored("bad.txt", "good data");
  bad.packed[0] = 'G';
  OldMember unknown = Stored("odd.txt", "??");
  unknown.method = "-zz9-";
  OldMember deep = Stored("deep.txt", "deep");
  deep.extensions.push_back({0x02, {'s', 'u', 'b', 0xFF, 0x95, 0x5C, 0xFF}});
  WriteArchive(root_ + "\\hostile.lzh",
               {Stored("..\\up.txt", "x", 0), Stored("C:\\" + driveName, "x", 1), Stored("\\" + driveName, "x", 0),
                Stored("\\\\server\\share\\unc.txt", "x"), link, Stored("lnk\\x.txt", "x", 1), Stored("lnk", "x"),
                bad, unknown, deep, Stored("../slash.txt", "x"), Stored("good.txt", "fine")});
  std::string text;
  int rc = Run("x \"" + root_ + "\\hostile\" \"" + out_ + "\\\"", &text);
  EXPECT_EQ(rc, static_cast<int>(Status::kDirectory)) << text;
  EXPECT_EQ(Tree(out_), (std::vector<std::string>{"good.txt", "sub\\", "sub\\表\\", "sub\\表\\deep.txt"})) << text;
  EXPECT_EQ(Tree(root_), (std::vector<std::string>{"hostile.lzh", "データ\\", "出力表\\", "出力表\\good.txt", "出力表\\sub\\",
                                                   "出力表\\sub\\表\\", "出力表\\sub\\表\\deep.txt"}));
  EXPECT_FALSE(Exists("C:\\" + driveName));
  EXPECT_FALSE(Exists(root_ + "\\up.txt"));
  for (const char* name : {"up.txt", "unc.txt", "lnk|", "x.txt", "slash.txt", "bad.txt: CRC error", "odd.txt: "}) {
    EXPECT_NE(text.find(name), std::string::npos) << name << "\n" << text;
  }
}

}  // namespace
