// Copies one 100 MB file and 1,000 small files (1-16 KiB) once through the
// backup worker (pattern expansion, copy into a temporary file, rename into
// place) and once with CopyFileW over the same files, taking turns for
// several rounds, and prints the best and the median throughput of each and
// their ratio.  Two cases: into an emptied folder, and over the copies of
// the round before.
//
//   backup_copy_bench [rounds]           (default 5)
//   backup_copy_bench rounds steps       where one small copy's time goes
//   backup_copy_bench rounds worker|copyfile   only that one, replacing the
//                                        small files (to watch it from outside)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "backup/backup_worker.h"
#include "backup/lha_library.h"
#include "win/lz_copy.h"
#include "win/file_disposition.h"
#include "win/text.h"

namespace {

constexpr size_t kLargeSize = 100u << 20;
constexpr int kSmallCount = 1000;

double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void EmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileW((folder + found.cFileName).c_str());
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

struct Set {
  const char* name;
  std::wstring pattern;            // what the worker gets
  std::vector<std::wstring> files;  // what CopyFileW gets (names in the folder)
  std::wstring sourceFolder;
  double megabytes = 0;
};

// Moves each source's last-write time to a new second (before the timing).
void Touch(const Set& set, int step) {
  ULARGE_INTEGER t{};
  t.QuadPart = 130000000000000000ULL + static_cast<ULONGLONG>(step) * 20000000ULL;
  const FILETIME time{t.LowPart, t.HighPart};
  for (const std::wstring& name : set.files) {
    HANDLE file = CreateFileW((set.sourceFolder + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }
}

double RunWorker(const Set& set, const std::wstring& destination) {
  kb::BackupWorkers workers(std::make_shared<kb::LhaLibrary>());
  kb::BackupJob job;
  job.targets = {kb::win::Narrow(set.pattern).value()};
  std::wstring folder = destination;
  folder.pop_back();
  job.Folder = kb::win::Narrow(folder).value();
  const double start = Now();
  workers.Start(job);
  workers.WaitAll(INFINITE);
  return Now() - start;
}

double RunCopyFile(const Set& set, const std::wstring& destination) {
  const double start = Now();
  for (const std::wstring& name : set.files) {
    CopyFileW((set.sourceFolder + name).c_str(), (destination + name).c_str(), FALSE);
  }
  return Now() - start;
}

// Where the time of one small-file copy goes: the steps of the safe copy
// done by hand, each timed on its own and summed over the files, with the
// temporary file made in the destination folder itself or in a sub-folder
// of it.  Printed in microseconds per file.
struct Breakdown {
  static constexpr int kSteps = 9;
  static constexpr const char* kNames[kSteps] = {"open source", "create temp", "mark",
                                                 "read+write", "time stamp", "unmark",
                                                 "rename",     "close",       "whole copy"};
  double spent[kSteps] = {};
  int files = 0;
};

void TimeSteps(const Set& set, const std::wstring& destination, const std::wstring& tempFolder,
               Breakdown& b) {
  std::vector<char> block(1 << 16);
  int counter = 0;
  for (const std::wstring& name : set.files) {
    double t = Now(), whole = t;
    auto lap = [&](int step) {
      const double n = Now();
      b.spent[step] += n - t;
      t = n;
    };
    HANDLE in = CreateFileW((set.sourceFolder + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    lap(0);
    const std::wstring temp = tempFolder + L"~kbbench" + std::to_wstring(++counter) + L".tmp";
    HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    lap(1);
    kb::win::SetDeleteMark(out, true);
    lap(2);
    DWORD got = 0, put = 0;
    ReadFile(in, block.data(), static_cast<DWORD>(block.size()), &got, nullptr);
    WriteFile(out, block.data(), got, &put, nullptr);
    lap(3);
    FILETIME written{};
    GetFileTime(in, nullptr, nullptr, &written);
    SetFileTime(out, nullptr, nullptr, &written);
    lap(4);
    kb::win::SetDeleteMark(out, false);
    lap(5);
    kb::win::ReplaceWithOpenFile(out, temp, destination + name);
    lap(6);
    CloseHandle(in);
    lap(7);
    b.spent[8] += Now() - whole;
    ++b.files;
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// What making a file costs against opening one that exists: each made in an
// empty folder, then closed and deleted, the ways in turns.
void PrintFileMaking(const std::wstring& folder) {
  constexpr int kCount = 2000;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring kept = folder + L"~kept.tmp";
  CloseHandle(CreateFileW(kept.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  const struct {
    const char* name;
    DWORD access, disposition;
    bool existing;  // opens `kept`
  } ways[] = {
      {"make (write, delete)", GENERIC_WRITE | DELETE, CREATE_NEW, false},
      {"make (write)", GENERIC_WRITE, CREATE_NEW, false},
      {"make or truncate", GENERIC_WRITE, CREATE_ALWAYS, false},
      {"open a missing name", GENERIC_WRITE, OPEN_EXISTING, false},
      {"open, truncating", GENERIC_WRITE | DELETE, TRUNCATE_EXISTING, true},
  };
  constexpr int kWays = sizeof ways / sizeof ways[0];
  double spent[kWays + 1] = {};
  for (int i = 0; i < kCount; ++i) {
    for (int w = 0; w < kWays; ++w) {
      const std::wstring name =
          ways[w].existing ? kept : folder + L"~x" + std::to_wstring(i * kWays + w) + L".tmp";
      const double t = Now();
      HANDLE h = CreateFileW(name.c_str(), ways[w].access, 0, nullptr, ways[w].disposition, 0,
                             nullptr);
      spent[w] += Now() - t;
      if (h == INVALID_HANDLE_VALUE) continue;
      CloseHandle(h);
      if (!ways[w].existing) DeleteFileW(name.c_str());
    }
    const std::wstring link = folder + L"~l" + std::to_wstring(i) + L".tmp";
    const double t = Now();
    if (CreateHardLinkW(link.c_str(), kept.c_str(), nullptr)) {
      spent[kWays] += Now() - t;
      DeleteFileW(link.c_str());
    }
  }
  DeleteFileW(kept.c_str());
  RemoveDirectoryW(folder.c_str());
  std::printf("  making one file (us)\n");
  for (int w = 0; w < kWays; ++w) {
    std::printf("  %-22s %8.1f\n", ways[w].name, spent[w] * 1e6 / kCount);
  }
  std::printf("  %-22s %8.1f\n", "hard link", spent[kWays] * 1e6 / kCount);
}

// File by file in turns, so that a change of the machine's load meets both:
// one session's copy into `out`, CopyFileW into `other`, both replacing the
// copies of the round before.
void PrintFileByFile(const Set& set, const std::wstring& out, const std::wstring& other,
                     int rounds) {
  CreateDirectoryW(other.c_str(), nullptr);
  RunCopyFile(set, other);
  std::vector<double> session, system;
  for (int r = 0; r < rounds; ++r) {
    double s1 = 0, s2 = 0;
    kb::CopySession copies;
    for (const std::wstring& name : set.files) {
      const std::wstring from = set.sourceFolder + name;
      double t = Now();
      copies.Copy(kb::win::Narrow(from).value(), kb::win::Narrow(out + name).value());
      s1 += Now() - t;
      t = Now();
      CopyFileW(from.c_str(), (other + name).c_str(), FALSE);
      s2 += Now() - t;
    }
    session.push_back(s1);
    system.push_back(s2);
  }
  std::printf("  file by file: session %.1f us, CopyFileW %.1f us (medians); CopyFileW / session %.2f\n",
              Median(session) * 1e6 / set.files.size(), Median(system) * 1e6 / set.files.size(),
              Median(system) / Median(session));
  EmptyFolder(other);
  RemoveDirectoryW(other.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"kb_backup_bench_" +
                            std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring large = root + L"large\\", small = root + L"small\\", out = root + L"out\\";
  for (const std::wstring& folder : {root, large, small, out}) {
    CreateDirectoryW(folder.c_str(), nullptr);
  }

  Set big{"one 100 MB file", large + L"big.bin", {L"big.bin"}, large, kLargeSize / 1048576.0};
  std::string bytes(kLargeSize, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
  WriteBytes(large + L"big.bin", bytes);

  Set many{"1,000 small files", small + L"*.dat", {}, small, 0};
  for (int i = 0; i < kSmallCount; ++i) {
    const size_t size = 1024 + (static_cast<size_t>(i) * 7919) % (15 * 1024);
    const std::wstring name = L"f" + std::to_wstring(10000 + i) + L".dat";
    WriteBytes(small + name, bytes.substr(static_cast<size_t>(i) * 97, size));
    many.files.push_back(name);
    many.megabytes += size / 1048576.0;
  }

  std::printf("backup copy benchmark: %d rounds, alternating\n", rounds);
  const std::string only = argc > 2 ? argv[2] : "";
  const bool breakdownOnly = only == "steps";
  // "worker" or "copyfile": only that one, replacing the small files, for
  // looking at it from outside (a system-call trace).
  if (only == "worker" || only == "copyfile") {
    RunCopyFile(many, out);
    for (int r = 0; r < rounds; ++r) {
      const double t = only == "worker" ? RunWorker(many, out) : RunCopyFile(many, out);
      std::printf("  %s %.1f ms\n", only.c_str(), t * 1e3);
    }
    EmptyFolder(out);
    return 0;
  }

  // The breakdown: the replacing case, temporary file beside the copies and
  // in a sub-folder, taking turns, with CopyFileW's whole time beside them.
  if (breakdownOnly) {
    const std::wstring staging = out + L"~stage\\";
    Breakdown beside, below;
    std::vector<double> platform;
    RunCopyFile(many, out);
    for (int r = 0; r < rounds; ++r) {
      TimeSteps(many, out, out, beside);
      CreateDirectoryW(staging.c_str(), nullptr);
      TimeSteps(many, out, staging, below);
      RemoveDirectoryW(staging.c_str());
      platform.push_back(RunCopyFile(many, out));
    }
    std::printf("where the time goes, 1,000 small files replacing older copies (us per file)\n");
    std::printf("  %-12s %10s %10s\n", "step", "beside", "sub-folder");
    for (int i = 0; i < Breakdown::kSteps; ++i) {
      std::printf("  %-12s %10.1f %10.1f\n", Breakdown::kNames[i],
                  beside.spent[i] * 1e6 / beside.files, below.spent[i] * 1e6 / below.files);
    }
    double sum = 0;
    for (double v : platform) sum += v;
    std::printf("  CopyFileW    %10.1f\n", sum * 1e6 / (platform.size() * many.files.size()));
    PrintFileMaking(out + L"~stage\\");
    PrintFileByFile(many, out, root + L"other\\", rounds);
    EmptyFolder(out);
  }
  // 0: into an emptied folder; 1: over the copies of the turn before, the
  // sources unchanged; 2: the same, each source's time stamp moved on
  // before each turn (so that every copy has to be made anew).
  for (const int replacing : breakdownOnly ? std::vector<int>{} : std::vector<int>{0, 1, 2}) {
    for (const Set* set : {&big, &many}) {
      std::vector<double> worker, platform;
      // Each round both run once, in turns going first, so neither always
      // finds the caches as the other left them.
      for (int r = 0; r < rounds; ++r) {
        for (int turn = 0; turn < 2; ++turn) {
          if (replacing == 0) EmptyFolder(out);
          if (replacing == 2) Touch(*set, r * 2 + turn);
          if ((turn == 0) == (r % 2 == 0)) {
            worker.push_back(RunWorker(*set, out));
          } else {
            platform.push_back(RunCopyFile(*set, out));
          }
        }
      }
      const double wBest = *std::min_element(worker.begin(), worker.end());
      const double pBest = *std::min_element(platform.begin(), platform.end());
      const double wMed = Median(worker), pMed = Median(platform);
      std::printf("%s (%.1f MB, %zu files), %s\n", set->name, set->megabytes, set->files.size(),
                  replacing == 0   ? "into an empty folder"
                  : replacing == 1 ? "replacing older copies, sources unchanged"
                                   : "replacing older copies, sources changed");
      std::printf("  worker     best %8.1f ms  %7.1f MB/s  median %8.1f ms  %7.1f MB/s\n",
                  wBest * 1e3, set->megabytes / wBest, wMed * 1e3, set->megabytes / wMed);
      std::printf("  CopyFileW  best %8.1f ms  %7.1f MB/s  median %8.1f ms  %7.1f MB/s\n",
                  pBest * 1e3, set->megabytes / pBest, pMed * 1e3, set->megabytes / pMed);
      std::printf("  worker / CopyFileW throughput: best %.2f, median %.2f\n", pBest / wBest,
                  pMed / wMed);
    }
    EmptyFolder(out);
  }

  EmptyFolder(out);
  EmptyFolder(large);
  EmptyFolder(small);
  for (const std::wstring& folder : {out, large, small, root}) RemoveDirectoryW(folder.c_str());
  return 0;
}
