// UNLHA32.DLL as the launcher uses it: loaded by full path, every export
// present, an archive made from a command line of the launcher's shape and
// checked, failures reported by code and text within the caller's buffer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "lzh/archive.h"
#include "lzh/status.h"
#include "tools/unlha/tests/unlha32_files.h"

namespace {

using namespace kb::unlha_testing;

using kb::lzh::Status;
using UnlhaFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);
using VersionFn = WORD(WINAPI*)();
using CheckFn = BOOL(WINAPI*)(LPCSTR, int);
using CountFn = int(WINAPI*)(LPCSTR);
using OpenFn = HANDLE(WINAPI*)(HWND, LPCSTR, DWORD);
using HarcIntFn = int(WINAPI*)(HANDLE, LPCSTR, void*);
using HarcDwordFn = DWORD(WINAPI*)(HANDLE);
using QueryFn = BOOL(WINAPI*)(int);
using StateFn = BOOL(WINAPI*)();

const char* const kExports[] = {
    "UnlhaGetVersion", "UnlhaGetSubVersion", "UnlhaGetRunning", "UnlhaGetBackGroundMode",
    "UnlhaSetBackGroundMode", "UnlhaGetCursorMode", "UnlhaSetCursorMode", "UnlhaGetCursorInterval",
    "UnlhaSetCursorInterval", "Unlha", "UnlhaCheckArchive", "UnlhaConfigDialog", "UnlhaGetFileCount",
    "UnlhaOpenArchive", "UnlhaCloseArchive", "UnlhaFindFirst", "UnlhaFindNext", "UnlhaGetArcFileName",
    "UnlhaGetArcFileSize", "UnlhaGetArcOriginalSize", "UnlhaGetArcCompressedSize", "UnlhaGetArcRatio",
    "UnlhaGetArcDate", "UnlhaGetArcTime", "UnlhaGetArcOSType", "UnlhaGetFileName", "UnlhaGetMethod",
    "UnlhaGetOriginalSize", "UnlhaGetCompressedSize", "UnlhaGetRatio", "UnlhaGetDate", "UnlhaGetTime",
    "UnlhaGetWriteTime", "UnlhaGetAccessTime", "UnlhaGetCreateTime", "UnlhaGetCRC", "UnlhaGetAttribute",
    "UnlhaGetOSType", "UnlhaQueryFunctionList", "UnlhaSetOwnerWindow", "UnlhaClearOwnerWindow"};

void WriteFile(const std::string& path, const std::string& content) { Put(path, content); }

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(h);
  return bytes;
}

// Names in a folder, for finding leftovers of a failed or finished command.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(Wide(folder + "\\*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring n = data.cFileName;
    if (n != L"." && n != L"..") names.push_back(ShiftJis(n));
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return names;
}

class Unlha32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadBuiltLibrary();
    ASSERT_NE(module_, nullptr) << "UNLHA32.DLL beside the test program";
    unlha_ = Fn<UnlhaFn>("Unlha");
    ASSERT_NE(unlha_, nullptr);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // A folder whose name ends in a 0x5C trail byte ("表"), so that every
    // path the library splits has one.
    root_ = ShiftJis(temp) + "kb_unlha_" + std::to_string(GetCurrentProcessId()) + "表";
    data_ = root_ + "\\データ表";
    backup_ = root_ + "\\ﾊﾞｯｸｱｯﾌﾟ";
    for (const std::string& d : {root_, data_, backup_, data_ + "\\sub.dat"}) CreateDirectoryW(Wide(d).c_str(), nullptr);
    text_.clear();
    for (int i = 0; i < 3000; ++i) text_ += "[Button" + std::to_string(i % 40) + "]\r\nFPFileName=C:\\表示\\app.exe\r\n";
    WriteFile(data_ + "\\KBINI.dat", text_);
    WriteFile(data_ + "\\empty.dat", "");
    WriteFile(data_ + "\\表示.txt", "表示");
  }
  void TearDown() override {
    for (const std::string& d : {data_ + "\\sub.dat", data_, backup_, root_}) {
      for (const std::string& n : FolderNames(d)) DeleteFileW(Wide(d + "\\" + n).c_str());
      RemoveDirectoryW(Wide(d).c_str());
    }
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // Runs a command with a buffer of the launcher's size.
  int Run(const std::string& line, std::string* text = nullptr) {
    std::vector<char> buffer(65535, '\0');
    int rc = unlha_(nullptr, line.c_str(), buffer.data(), 65534);
    if (text != nullptr) *text = buffer.data();
    return rc;
  }

  template <typename T>
  T Fn(const char* name) {
    // Through void*: FARPROC's own type is not the export's.
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_ = nullptr;
  UnlhaFn unlha_ = nullptr;
  std::string root_, data_, backup_, text_;
};

TEST_F(Unlha32Test, EveryExportIsThereUndecorated) {
  for (const char* name : kExports) EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(module_, "Unlha@16"), nullptr);
  EXPECT_GE(Fn<VersionFn>("UnlhaGetVersion")(), 100);
}

TEST_F(Unlha32Test, ArchiveHandleCallsWithoutAnArchiveAnswerNotOpened) {
  EXPECT_EQ(Fn<OpenFn>("UnlhaOpenArchive")(nullptr, "x.lzh", 0), nullptr);
  EXPECT_EQ(Fn<HarcIntFn>("UnlhaFindFirst")(nullptr, "*", nullptr), static_cast<int>(Status::kHarcNotOpened));
  EXPECT_EQ(Fn<HarcDwordFn>("UnlhaGetArcFileSize")(nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(Fn<HarcDwordFn>("UnlhaGetCRC")(nullptr), 0xFFFFFFFFu);
  QueryFn query = Fn<QueryFn>("UnlhaQueryFunctionList");
  EXPECT_TRUE(query(0));    // the command call
  EXPECT_TRUE(query(23));   // opening an archive
  EXPECT_FALSE(query(17));  // the configuration dialog
  EXPECT_FALSE(Fn<StateFn>("UnlhaGetRunning")());
  EXPECT_FALSE(Fn<StateFn>("UnlhaGetBackGroundMode")());
}

TEST_F(Unlha32Test, TheLaunchersCommandMakesAnArchiveThatTests) {
  const std::string stamp = backup_ + "\\981231235959";
  const std::string line = "a \"" + stamp + "\" \"" + data_ + "\\*.dat\" \"" + data_ + "\\表示.txt\"";
  std::string text;
  ASSERT_EQ(Run(line, &text), 0) << text;
  EXPECT_EQ(FolderNames(backup_), std::vector<std::string>{"981231235959.lzh"}) << "no temporary file is left";

  std::vector<std::uint8_t> bytes = ReadFile(stamp + ".lzh");
  kb::lzh::MemoryArchive file(bytes);
  std::vector<kb::lzh::MemberLocation> members = kb::lzh::ReadDirectory(file);
  ASSERT_EQ(members.size(), 3u) << "KBINI.dat, empty.dat and 表示.txt; the folder sub.dat is skipped";
  for (const kb::lzh::MemberLocation& m : members) {
    std::string content;
    kb::lzh::UnpackMember(file, m, [&](const std::uint8_t* p, std::size_t n) { content.append(reinterpret_cast<const char*>(p), n); });
    if (m.header.name == "KBINI.dat") {
      EXPECT_EQ(content, text_);
      EXPECT_EQ(m.header.method, "-lh5-");
    } else if (m.header.name == "表示.txt") {
      EXPECT_EQ(content, "表示");
    } else {
      EXPECT_EQ(m.header.name, "empty.dat");
      EXPECT_EQ(m.header.method, "-lh0-");
    }
    EXPECT_TRUE(m.header.times.has_value());
    EXPECT_GT(m.header.stamp, 1600000000u) << "the file's modification time";
  }

  EXPECT_EQ(Run("t \"" + stamp + "\"", &text), 0) << text;
  EXPECT_NE(text.find("表示.txt  OK"), std::string::npos) << text;
  EXPECT_EQ(Run("l \"" + stamp + ".lzh\"", &text), 0) << text;
  EXPECT_NE(text.find("KBINI.dat"), std::string::npos) << text;
  EXPECT_TRUE(Fn<CheckFn>("UnlhaCheckArchive")((stamp + ".lzh").c_str(), 3));
  EXPECT_EQ(Fn<CountFn>("UnlhaGetFileCount")((stamp + ".lzh").c_str()), 3);
  EXPECT_FALSE(Fn<CheckFn>("UnlhaCheckArchive")((data_ + "\\KBINI.dat").c_str(), 3));
  EXPECT_EQ(Fn<CountFn>("UnlhaGetFileCount")((data_ + "\\none.lzh").c_str()), -1);
}

TEST_F(Unlha32Test, FailuresComeBackAsCodesWithText) {
  struct Case {
    std::string line;
    Status status;
  } cases[] = {
      {"a \"" + backup_ + "\\x\" \"" + data_ + "\\missing.dat\"", Status::kNoFile},
      {"z \"" + backup_ + "\\x\" \"" + data_ + "\\KBINI.dat\"", Status::kBadCommand},
      {"a \"" + root_ + "\\no folder\\x\" \"" + data_ + "\\KBINI.dat\"", Status::kMakeArchive},
      {"t \"" + backup_ + "\\x\"", Status::kArchiveNotFound},
      {"", Status::kBadCommand},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(Run(c.line, &text), static_cast<int>(c.status)) << c.line << "\n" << text;
    EXPECT_GT(text.size(), 2u) << c.line;
    EXPECT_EQ(text.find("\r\n"), text.size() - 2) << "one line: " << text;
  }
  EXPECT_TRUE(FolderNames(backup_).empty()) << "no archive and no temporary file";
  // No command line and no buffer at all.
  EXPECT_EQ(unlha_(nullptr, nullptr, nullptr, 0), static_cast<int>(Status::kBadCommand));
}

TEST_F(Unlha32Test, ASmallBufferIsNeverOverrun) {
  for (DWORD size : {1u, 2u, 7u, 40u}) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    int rc = unlha_(nullptr, ("a \"" + backup_ + "\\x\" \"" + data_ + "\\gone表.dat\"").c_str(), buffer, size);
    EXPECT_EQ(rc, static_cast<int>(Status::kNoFile));
    EXPECT_EQ(std::strlen(buffer), size - 1 < 40 ? std::strlen(buffer) : 0u);
    EXPECT_LT(std::strlen(buffer), size);
    for (std::size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << "size " << size << " byte " << i;
  }
}

TEST_F(Unlha32Test, AFileHeldOpenIsLeftOutAndTheRestPacked) {
  HANDLE held = CreateFileW(Wide(data_ + "\\KBINI.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string text;
  int rc = Run("a \"" + backup_ + "\\held\" \"" + data_ + "\\*.dat\"", &text);
  CloseHandle(held);
  EXPECT_EQ(rc, static_cast<int>(Status::kFileOpen)) << text;
  EXPECT_EQ(text.find("KBINI.dat"), 0u) << text;
  EXPECT_EQ(Fn<CountFn>("UnlhaGetFileCount")((backup_ + "\\held.lzh").c_str()), 1);
}

TEST_F(Unlha32Test, CommandsRunSideBySideOnSeveralThreads) {
  std::vector<int> results(4, -1);
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      char buffer[256];
      std::string line = "a \"" + backup_ + "\\t" + std::to_string(i) + "\" \"" + data_ + "\\*.dat\"";
      results[static_cast<std::size_t>(i)] = unlha_(nullptr, line.c_str(), buffer, sizeof buffer);
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(results[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_EQ(Run("t \"" + backup_ + "\\t" + std::to_string(i) + "\""), 0) << i;
  }
}

}  // namespace
