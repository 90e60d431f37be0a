// The archive-handle functions of the built UNLHA32.DLL as another program
// calls them: loaded by full path, an archive listed through OpenArchive /
// FindFirst / FindNext and compared with what the "l" command prints, the
// queries on the member found last, the answers for closed and forged
// handles, and the modes and owner windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lzh/tests/old_formats.h"
#include "lzh/times.h"
#include "tools/unlha/unlha32_api.h"
#include "tools/unlha/tests/unlha32_files.h"

namespace {

using namespace kb::unlha_testing;

using kb::unlha::IndividualInfo;
using HArc = HANDLE;

std::uint64_t Ticks(const FILETIME& t) { return static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

// One line of the "l" listing.
struct Listed {
  unsigned long long original = 0, packed = 0;
  double percent = 0;
  std::string method, crc, date, time, name;
};

class ArchiveHandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadBuiltLibrary();
    ASSERT_NE(module_, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = ShiftJis(temp) + "kb_harc_" + std::to_string(GetCurrentProcessId()) + "表";
    CreateDirectoryW(Wide(root_).c_str(), nullptr);
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "[Button" + std::to_string(i % 40) + "]\r\nShowName=表示\r\n";
    Put(root_ + "\\KBINI.dat", text);
    Put(root_ + "\\empty.dat", "");
    Put(root_ + "\\表示.txt", "表示表示表示");
    archive_ = root_ + "\\made.lzh";
    std::string out = Run("a \"" + archive_ + "\" \"" + root_ + "\\*.dat\" \"" + root_ + "\\表示.txt\"");
    ASSERT_EQ(GetFileAttributesW(Wide(archive_).c_str()) == INVALID_FILE_ATTRIBUTES, false) << out;
  }
  void TearDown() override {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Wide(root_ + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileW((Wide(root_) + L"\\" + data.cFileName).c_str());
      while (FindNextFileW(h, &data));
      FindClose(h);
    }
    RemoveDirectoryW(Wide(root_).c_str());
    if (module_ != nullptr) {
      Fn<BOOL(WINAPI*)(BOOL)>("UnlhaSetUnicodeMode")(FALSE);  // no mode outlives its test
      FreeLibrary(module_);
    }
  }

  template <typename T>
  T Fn(const char* name) {
    FARPROC p = GetProcAddress(module_, name);
    EXPECT_NE(p, nullptr) << name;
    return reinterpret_cast<T>(reinterpret_cast<void*>(p));
  }

  std::string Run(const std::string& line) {
    std::vector<char> buffer(65535, '\0');
    Fn<int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD)>("Unlha")(nullptr, line.c_str(), buffer.data(), 65534);
    return buffer.data();
  }

  // The member lines and the total line of the "l" command.
  std::vector<Listed> List(const std::string& archive, Listed* total) {
    std::istringstream in(Run("l \"" + archive + "\""));
    std::vector<Listed> lines;
    std::string line;
    int rules = 0;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("----------", 0) == 0) {
        ++rules;
        continue;
      }
      if (rules == 0) continue;
      Listed l;
      std::istringstream fields(line);
      fields >> l.original >> l.packed >> l.percent;
      fields.ignore(1);  // the per cent sign
      if (rules == 1) {
        fields >> l.method >> l.crc >> l.date >> l.time;
        fields.ignore(1);
        std::getline(fields, l.name);
        lines.push_back(l);
      } else if (total != nullptr) {
        *total = l;
      }
    }
    return lines;
  }

  HArc Open(const std::string& name, DWORD mode = 0) {
    return Fn<HArc(WINAPI*)(HWND, LPCSTR, DWORD)>("UnlhaOpenArchive")(nullptr, name.c_str(), mode);
  }
  int Close(HArc h) { return Fn<int(WINAPI*)(HArc)>("UnlhaCloseArchive")(h); }
  int First(HArc h, const char* pattern, IndividualInfo* info) {
    return Fn<int(WINAPI*)(HArc, LPCSTR, IndividualInfo*)>("UnlhaFindFirst")(h, pattern, info);
  }
  int Next(HArc h, IndividualInfo* info) { return Fn<int(WINAPI*)(HArc, IndividualInfo*)>("UnlhaFindNext")(h, info); }
  DWORD Dword(const char* name, HArc h) { return Fn<DWORD(WINAPI*)(HArc)>(name)(h); }
  WORD Word(const char* name, HArc h) { return Fn<WORD(WINAPI*)(HArc)>(name)(h); }
  int Text(const char* name, HArc h, std::string* out, int size = 600) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '#');
    int rc = Fn<int(WINAPI*)(HArc, LPSTR, int)>(name)(h, buffer.data(), size);
    *out = buffer.data();
    EXPECT_EQ(buffer[static_cast<std::size_t>(size)], '#') << name << " wrote past its buffer";
    return rc;
  }

  // The names FindFirst / FindNext give for a pattern.
  std::vector<std::string> Names(HArc h, const char* pattern) {
    std::vector<std::string> names;
    IndividualInfo info;
    for (int rc = First(h, pattern, &info); rc == 0; rc = Next(h, &info)) names.push_back(info.fileName);
    return names;
  }

  HMODULE module_ = nullptr;
  std::string root_, archive_;
};

TEST_F(ArchiveHandlesTest, ListsTheArchiveAsTheListCommandDoes) {
  Listed total;
  const std::vector<Listed> listed = List(archive_, &total);
  ASSERT_EQ(listed.size(), 3u);

  HArc h = Open(archive_);
  ASSERT_NE(h, nullptr);
  std::vector<IndividualInfo> found;
  IndividualInfo info;
  for (int rc = First(h, "*", &info); rc == 0; rc = Next(h, &info)) {
    found.push_back(info);
    // The queries answer for the member found last, as its record says.
    std::string text;
    EXPECT_EQ(Text("UnlhaGetFileName", h, &text), 0);
    EXPECT_EQ(text, info.fileName);
    EXPECT_EQ(Text("UnlhaGetMethod", h, &text), 0);
    EXPECT_EQ(text, info.mode);
    EXPECT_EQ(Dword("UnlhaGetOriginalSize", h), info.originalSize);
    EXPECT_EQ(Dword("UnlhaGetCompressedSize", h), info.compressedSize);
    EXPECT_EQ(Dword("UnlhaGetCRC", h), info.crc);
    EXPECT_EQ(Word("UnlhaGetRatio", h), info.ratio);
    EXPECT_EQ(Word("UnlhaGetDate", h), info.date);
    EXPECT_EQ(Word("UnlhaGetTime", h), info.time);
    EXPECT_EQ(Dword("UnlhaGetOSType", h), info.osType);
    EXPECT_EQ(info.osType, 18u) << "written on Windows NT";
    // The file's own attributes, as the archive keeps them.
    const int attributes = Fn<int(WINAPI*)(HArc)>("UnlhaGetAttribute")(h);
    EXPECT_EQ(static_cast<DWORD>(attributes), GetFileAttributesW(Wide(root_ + "\\" + info.fileName).c_str()) & 0x27);
    EXPECT_EQ(info.attribute[4], (attributes & 0x20) != 0 ? 'a' : '-');
    EXPECT_EQ(std::string(info.attribute).substr(0, 4), "----");
    __int64 size = -1;
    EXPECT_TRUE(Fn<BOOL(WINAPI*)(HArc, __int64*)>("UnlhaGetOriginalSizeEx")(h, &size));
    EXPECT_EQ(size, static_cast<__int64>(info.originalSize));
  }
  ASSERT_EQ(found.size(), listed.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    const IndividualInfo& f = found[i];
    const Listed& l = listed[i];
    SCOPED_TRACE(l.name);
    EXPECT_EQ(std::string(f.fileName), l.name);
    EXPECT_EQ(f.originalSize, l.original);
    EXPECT_EQ(f.compressedSize, l.packed);
    EXPECT_EQ(f.ratio, static_cast<WORD>(l.percent * 10 + 0.5));
    EXPECT_EQ(std::string(f.mode), l.method);
    char crc[8];
    std::snprintf(crc, sizeof crc, "%04X", static_cast<unsigned>(f.crc));
    EXPECT_EQ(crc, l.crc);
    // The listing shows the local time to the second, the record in MS-DOS
    // form, to two seconds.
    kb::lzh::CivilTime t = kb::lzh::CivilFromDosTime(static_cast<std::uint32_t>(f.date) << 16 | f.time);
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    EXPECT_EQ(date, l.date);
    EXPECT_EQ(std::string(time).substr(0, 6), l.time.substr(0, 6));
    EXPECT_EQ(t.second, std::stoi(l.time.substr(6)) / 2 * 2);
    EXPECT_EQ(f.flag, 0u);
  }
  EXPECT_EQ(Next(h, &info), kb::unlha::kFoundNothing);
  EXPECT_EQ(Dword("UnlhaGetArcOriginalSize", h), total.original);
  EXPECT_EQ(Dword("UnlhaGetArcCompressedSize", h), total.packed);
  EXPECT_EQ(Word("UnlhaGetArcRatio", h), static_cast<WORD>(total.percent * 10 + 0.5));
  EXPECT_EQ(Close(h), 0);
}

TEST_F(ArchiveHandlesTest, TheArchiveQueriesDescribeTheFile) {
  HArc h = Open(archive_);
  ASSERT_NE(h, nullptr);
  WIN32_FILE_ATTRIBUTE_DATA file;
  ASSERT_TRUE(GetFileAttributesExW(Wide(archive_).c_str(), GetFileExInfoStandard, &file));
  std::string name;
  EXPECT_EQ(Text("UnlhaGetArcFileName", h, &name), 0);
  EXPECT_EQ(name, archive_);
  EXPECT_EQ(Text("UnlhaGetArcFileName", h, &name, static_cast<int>(archive_.size())), kb::unlha::kAnswerTooBig);
  EXPECT_EQ(name, "") << "a cut path is never handed out";
  EXPECT_EQ(Dword("UnlhaGetArcFileSize", h), file.nFileSizeLow);
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&file.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  EXPECT_EQ(Word("UnlhaGetArcDate", h), date);
  EXPECT_EQ(Word("UnlhaGetArcTime", h), time);
  FILETIME written{};
  EXPECT_TRUE(Fn<BOOL(WINAPI*)(HArc, FILETIME*)>("UnlhaGetArcWriteTimeEx")(h, &written));
  EXPECT_EQ(Ticks(written), Ticks(file.ftLastWriteTime));
  EXPECT_EQ(Dword("UnlhaGetArcOSType", h), 18u);
  EXPECT_EQ(Fn<int(WINAPI*)(HArc)>("UnlhaIsSFXFile")(h), 0);
  EXPECT_EQ(Dword("UnlhaGetArcOriginalSize", h), 0u) << "nothing found yet";

  // A member's times are those of its file.
  ASSERT_EQ(First(h, "KBINI.dat", nullptr), 0);
  WIN32_FILE_ATTRIBUTE_DATA source;
  ASSERT_TRUE(GetFileAttributesExW(Wide(root_ + "\\KBINI.dat").c_str(), GetFileExInfoStandard, &source));
  EXPECT_EQ(Dword("UnlhaGetWriteTime", h), kb::lzh::UnixFromFileTime(Ticks(source.ftLastWriteTime)));
  FILETIME created{};
  EXPECT_TRUE(Fn<BOOL(WINAPI*)(HArc, FILETIME*)>("UnlhaGetCreateTimeEx")(h, &created));
  EXPECT_EQ(Ticks(created), Ticks(source.ftCreationTime));
  EXPECT_EQ(Close(h), 0);
}

// Members of older writers: MS-DOS stamps, folders, a folder member, and an
// archive that breaks after them.
TEST_F(ArchiveHandlesTest, PatternsModesAndABrokenEnd) {
  using kb::lzh::testing::OldMember;
  std::vector<OldMember> members = {
      {0, "-lh0-", "docs\\read.txt", {'a'}, {'a'}, 0x5A8C7BDDu, 'M', true, {}},
      {1, "-lh0-", "docs\\表\\deep.txt", {'b'}, {'b'}, 0x3C210000u, 'U', true, {}},
      {2, "-lhd-", "", {}, {}, 1'000'000'000, 'w', true, {{0x02, {'d', 'o', 'c', 's', 0xFF}}}},
      {2, "-lh0-", "TOP.TXT", {'c'}, {'c'}, 1'000'000'000, 'W', true, {}},
  };
  kb::lzh::testing::Bytes bytes = kb::lzh::testing::OldArchive(members);
  const std::string good = root_ + "\\old.lzh";
  Put(good, std::string(bytes.begin(), bytes.end()));

  HArc h = Open(good);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Names(h, "*.txt"), (std::vector<std::string>{"docs\\read.txt", "docs\\表\\deep.txt", "TOP.TXT"}));
  EXPECT_EQ(Names(h, "docs\\*"), (std::vector<std::string>{"docs\\read.txt"}));
  EXPECT_EQ(Names(h, "docs\\表\\*.txt docs"), (std::vector<std::string>{"docs\\表\\deep.txt", "docs\\"}));
  ASSERT_EQ(First(h, "read.txt", nullptr), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(Word("UnlhaGetDate", h)) << 16 | Word("UnlhaGetTime", h), 0x5A8C7BDDu);
  // An MS-DOS stamp is local time; the Unix time of it says the same.
  const DWORD unix = Dword("UnlhaGetWriteTime", h);
  FILETIME utc{static_cast<DWORD>((unix + 11644473600ull) * 10000000ull),
               static_cast<DWORD>((unix + 11644473600ull) * 10000000ull >> 32)};
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  EXPECT_EQ(static_cast<std::uint32_t>(date) << 16 | time, 0x5A8C7BDDu);
  EXPECT_EQ(Dword("UnlhaGetCreateTime", h), 0xFFFFFFFFu) << "no creation time is stored";
  EXPECT_EQ(Dword("UnlhaGetOSType", h), 0u);
  ASSERT_EQ(First(h, "docs", nullptr), 0);
  EXPECT_EQ(Fn<int(WINAPI*)(HArc)>("UnlhaGetAttribute")(h), 0x10);
  EXPECT_EQ(Dword("UnlhaGetOSType", h), 19u);
  EXPECT_EQ(Dword("UnlhaGetArcOSType", h), 0u) << "the first member's system";
  EXPECT_EQ(Close(h), 0);

  // The whole path must match, or the file name only.
  h = Open(good, kb::unlha::kModeCheckAllPath);
  EXPECT_EQ(Names(h, "*.txt"), (std::vector<std::string>{"TOP.TXT"}));
  EXPECT_EQ(Close(h), 0);
  h = Open(good, kb::unlha::kModeCheckFileNameOnly);
  EXPECT_EQ(Names(h, "other\\deep.txt"), (std::vector<std::string>{"docs\\表\\deep.txt"}));
  EXPECT_EQ(Close(h), 0);

  // Garbage where the end mark belongs: the members before it are listed,
  // then the walk ends with the archive's error.
  bytes.back() = 'X';
  bytes.insert(bytes.end(), 30, 'X');
  const std::string broken = root_ + "\\broken.lzh";
  Put(broken, std::string(bytes.begin(), bytes.end()));
  h = Open(broken);
  ASSERT_NE(h, nullptr);
  IndividualInfo info;
  int rc = First(h, "*", &info);
  int count = 0;
  while (rc == 0) {
    ++count;
    rc = Next(h, &info);
  }
  EXPECT_EQ(count, 4);
  EXPECT_GE(rc, 0x8000) << "an error, not the end of the search";
  EXPECT_EQ(Close(h), 0);
}

TEST_F(ArchiveHandlesTest, ClosedForgedAndIdleHandlesAnswerTheirErrors) {
  EXPECT_EQ(Open(root_ + "\\none.lzh"), nullptr);
  EXPECT_EQ(Open(root_ + "\\KBINI.dat"), nullptr) << "not an archive";
  EXPECT_EQ(Open(""), nullptr);

  HArc h = Open(archive_);
  ASSERT_NE(h, nullptr);
  std::string text;
  EXPECT_EQ(Next(h, nullptr), kb::unlha::kNotSearchMode) << "FindNext before FindFirst";
  EXPECT_EQ(Text("UnlhaGetFileName", h, &text), kb::unlha::kNotSearchMode);
  EXPECT_EQ(Dword("UnlhaGetOriginalSize", h), 0xFFFFFFFFu);
  EXPECT_EQ(First(h, "nothing.*", nullptr), kb::unlha::kFoundNothing);
  EXPECT_EQ(Word("UnlhaGetDate", h), 0xFFFF) << "no member after a search that found none";
  ASSERT_EQ(First(h, "表示.txt", nullptr), 0);
  EXPECT_EQ(Text("UnlhaGetFileName", h, &text, 8), kb::unlha::kAnswerTooBig);  // "表示.txt" needs 9
  EXPECT_EQ(Text("UnlhaGetFileName", h, &text, 9), 0);
  EXPECT_EQ(text, "表示.txt");
  EXPECT_EQ(Close(h), 0);
  EXPECT_EQ(Close(h), -1) << "closed twice";

  const int notOpened = 0x8021;
  for (HArc bad : {h, static_cast<HArc>(nullptr), reinterpret_cast<HArc>(0x12345), INVALID_HANDLE_VALUE}) {
    EXPECT_EQ(First(bad, "*", nullptr), notOpened);
    EXPECT_EQ(Next(bad, nullptr), notOpened);
    for (const char* name : {"UnlhaGetArcFileName", "UnlhaGetFileName", "UnlhaGetMethod"}) {
      EXPECT_EQ(Text(name, bad, &text), notOpened) << name;
    }
    for (const char* name : {"UnlhaGetArcFileSize", "UnlhaGetArcOriginalSize", "UnlhaGetArcCompressedSize",
                             "UnlhaGetArcOSType", "UnlhaGetOriginalSize", "UnlhaGetCompressedSize", "UnlhaGetWriteTime",
                             "UnlhaGetCreateTime", "UnlhaGetAccessTime", "UnlhaGetCRC", "UnlhaGetOSType"}) {
      EXPECT_EQ(Dword(name, bad), 0xFFFFFFFFu) << name;
    }
    for (const char* name :
         {"UnlhaGetArcRatio", "UnlhaGetArcDate", "UnlhaGetArcTime", "UnlhaGetRatio", "UnlhaGetDate", "UnlhaGetTime"}) {
      EXPECT_EQ(Word(name, bad), 0xFFFF) << name;
    }
    EXPECT_EQ(Fn<int(WINAPI*)(HArc)>("UnlhaGetAttribute")(bad), -1);
    EXPECT_EQ(Fn<int(WINAPI*)(HArc)>("UnlhaIsSFXFile")(bad), -1);
    __int64 size = 7;
    for (const char* name : {"UnlhaGetArcFileSizeEx", "UnlhaGetArcOriginalSizeEx", "UnlhaGetArcCompressedSizeEx",
                             "UnlhaGetOriginalSizeEx", "UnlhaGetCompressedSizeEx"}) {
      EXPECT_FALSE(Fn<BOOL(WINAPI*)(HArc, __int64*)>(name)(bad, &size)) << name;
    }
    FILETIME t{};
    for (const char* name : {"UnlhaGetArcWriteTimeEx", "UnlhaGetArcCreateTimeEx", "UnlhaGetArcAccessTimeEx",
                             "UnlhaGetWriteTimeEx", "UnlhaGetCreateTimeEx", "UnlhaGetAccessTimeEx"}) {
      EXPECT_FALSE(Fn<BOOL(WINAPI*)(HArc, FILETIME*)>(name)(bad, &t)) << name;
    }
    EXPECT_EQ(size, 7);
    EXPECT_EQ(Close(bad), -1);
  }
}

TEST_F(ArchiveHandlesTest, SeveralArchivesOpenOnSeveralThreads) {
  const std::string second = root_ + "\\second.lzh";
  Run("a \"" + second + "\" \"" + root_ + "\\KBINI.dat\"");
  std::vector<int> counts(6, -1);
  std::vector<std::thread> threads;
  for (int i = 0; i < 6; ++i) {
    threads.emplace_back([&, i] {
      HArc h = Open(i % 2 == 0 ? archive_ : second);
      int n = 0;
      for (int round = 0; h != nullptr && round < 20; ++round) {
        n = 0;
        for (int rc = First(h, "*", nullptr); rc == 0; rc = Next(h, nullptr)) ++n;
      }
      if (h != nullptr && Close(h) != 0) n = -2;
      counts[static_cast<std::size_t>(i)] = n;
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(counts[static_cast<std::size_t>(i)], i % 2 == 0 ? 3 : 1) << i;
}

TEST_F(ArchiveHandlesTest, AFullCheckUnpacksWhereAQuickOneReadsHeaders) {
  const std::string one = root_ + "\\one.lzh";
  Run("a \"" + one + "\" \"" + root_ + "\\KBINI.dat\"");
  HANDLE f = CreateFileW(Wide(one).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  // The only member, KBINI.dat, is packed: spoil a byte in its data.
  std::vector<char> head(64);
  DWORD got = 0;
  ReadFile(f, head.data(), 64, &got, nullptr);
  const DWORD dataAt = static_cast<unsigned char>(head[0]) | static_cast<unsigned char>(head[1]) << 8;
  SetFilePointer(f, static_cast<LONG>(dataAt + 40), nullptr, FILE_BEGIN);
  char spoiled = 0x5A;
  WriteFile(f, &spoiled, 1, &got, nullptr);
  CloseHandle(f);
  auto check = Fn<BOOL(WINAPI*)(LPCSTR, int)>("UnlhaCheckArchive");
  EXPECT_TRUE(check(one.c_str(), 1));
  EXPECT_FALSE(check(one.c_str(), kb::unlha::kCheckFullCrc));
  EXPECT_TRUE(check(archive_.c_str(), kb::unlha::kCheckFullCrc));
}

TEST_F(ArchiveHandlesTest, ModesOwnersAndTheFunctionList) {
  auto setMode = Fn<BOOL(WINAPI*)(BOOL)>("UnlhaSetBackGroundMode");
  auto getMode = Fn<BOOL(WINAPI*)()>("UnlhaGetBackGroundMode");
  auto setCursor = Fn<BOOL(WINAPI*)(BOOL)>("UnlhaSetCursorMode");
  auto getCursor = Fn<BOOL(WINAPI*)()>("UnlhaGetCursorMode");
  auto setInterval = Fn<BOOL(WINAPI*)(WORD)>("UnlhaSetCursorInterval");
  auto getInterval = Fn<WORD(WINAPI*)()>("UnlhaGetCursorInterval");
  const WORD interval = getInterval();
  EXPECT_EQ(interval, 80) << "the family's default";
  EXPECT_TRUE(setMode(TRUE));
  EXPECT_TRUE(getMode());
  EXPECT_TRUE(setCursor(TRUE));
  EXPECT_TRUE(getCursor());
  EXPECT_TRUE(setInterval(250));
  EXPECT_EQ(getInterval(), 250);
  setMode(FALSE);
  setCursor(FALSE);
  setInterval(interval);
  EXPECT_FALSE(getMode());
  EXPECT_FALSE(getCursor());

  HWND one = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND two = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(one, nullptr);
  auto setOwner = Fn<BOOL(WINAPI*)(HWND)>("UnlhaSetOwnerWindow");
  auto clearOwner = Fn<BOOL(WINAPI*)()>("UnlhaClearOwnerWindow");
  EXPECT_FALSE(setOwner(reinterpret_cast<HWND>(0x4321))) << "not a window";
  EXPECT_TRUE(setOwner(one));
  EXPECT_FALSE(setOwner(two)) << "one owner at a time";
  EXPECT_TRUE(clearOwner());
  EXPECT_TRUE(setOwner(two));
  EXPECT_TRUE(clearOwner());
  using Proc = kb::unlha::ArchiverProc;
  auto setEx = Fn<BOOL(WINAPI*)(HWND, Proc)>("UnlhaSetOwnerWindowEx");
  auto killEx = Fn<BOOL(WINAPI*)(HWND)>("UnlhaKillOwnerWindowEx");
  auto setEx64 = Fn<BOOL(WINAPI*)(HWND, Proc, DWORD)>("UnlhaSetOwnerWindowEx64");
  auto killEx64 = Fn<BOOL(WINAPI*)(HWND)>("UnlhaKillOwnerWindowEx64");
  EXPECT_TRUE(setEx(one, nullptr));
  EXPECT_FALSE(setEx(two, nullptr));
  EXPECT_FALSE(killEx(two)) << "not the window that was set";
  EXPECT_TRUE(killEx(one));
  EXPECT_FALSE(killEx(one));
  EXPECT_FALSE(setEx64(one, nullptr, 0));
  EXPECT_TRUE(setEx64(one, nullptr, 1100));
  EXPECT_TRUE(killEx64(one));
  DestroyWindow(one);
  DestroyWindow(two);

  char options[16] = "unchanged";
  EXPECT_FALSE(Fn<BOOL(WINAPI*)(HWND, LPSTR, int)>("UnlhaConfigDialog")(nullptr, options, 1));
  EXPECT_STREQ(options, "");

  // Every function the library exports is in its list, but for the dialog.
  auto query = Fn<BOOL(WINAPI*)(int)>("UnlhaQueryFunctionList");
  int listed = 0;
  for (int f = 0; f <= 120; ++f) listed += query(f) ? 1 : 0;
  EXPECT_EQ(listed, 56);
  for (int f : {0, 8, 23, 25, 26, 33, 48, 57, 72, 86, 88, 114}) EXPECT_TRUE(query(f)) << f;
  for (int f : {17, 27, 28, -1, 1000}) EXPECT_FALSE(query(f)) << f;
}

TEST_F(ArchiveHandlesTest, TheUnicodeModeTakesAndGivesUtf8) {
  auto unicode = Fn<BOOL(WINAPI*)(BOOL)>("UnlhaSetUnicodeMode");
  ASSERT_TRUE(unicode(TRUE));
  const std::string archive = Utf8(Wide(archive_));
  HArc h = Open(archive);
  EXPECT_NE(h, nullptr);
  IndividualInfo info;
  EXPECT_EQ(First(h, Utf8(L"\u8868*").c_str(), &info), 0);  // 表*
  EXPECT_EQ(std::string(info.fileName), Utf8(L"\u8868\u793a.txt"));
  std::string text;
  EXPECT_EQ(Text("UnlhaGetFileName", h, &text), 0);
  EXPECT_EQ(text, Utf8(L"\u8868\u793a.txt"));
  EXPECT_EQ(Text("UnlhaGetArcFileName", h, &text), 0);
  EXPECT_EQ(text, archive);
  EXPECT_EQ(Close(h), 0);
  EXPECT_NE(Run("l \"" + archive + "\"").find(Utf8(L"\u8868\u793a.txt")), std::string::npos);
  // A name Shift-JIS cannot write is refused, never changed.
  const std::string hangul = Utf8(Wide(root_) + L"\\\ud55c.lzh");
  EXPECT_EQ(Open(hangul), nullptr);
  std::vector<char> out(256);
  EXPECT_EQ(Fn<int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD)>("Unlha")(nullptr, ("a \"" + hangul + "\" x").c_str(), out.data(), 256),
            0x8023);
  EXPECT_TRUE(unicode(FALSE));
  EXPECT_EQ(Open(archive), nullptr) << "UTF-8 bytes are no Shift-JIS name of the archive";
}

}  // namespace
