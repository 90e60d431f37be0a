// Writes and reads back a full table (40 groups x 40 slots: 1,600 "ExButton"
// sections of seven keys, "Info", 40 "Button" sections) with the profile
// module, then does the same work with WritePrivateProfileStringA /
// GetPrivateProfileStringA one key at a time, and prints the times and the
// ratio.  "--ours-only" skips the platform run (about a minute under Wine).
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/profile.h"
#include "model/launch_data.h"
#include "model/settings.h"

namespace {

using kb::TLaunchData;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// CPU time of this thread in ms: the machines these run on are often shared,
// and the wall-clock figures then include time spent waiting for a core.
double CpuNow() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

struct Table {
  kb::Settings settings;
  std::vector<TLaunchData> groups;  // index 0 = group 1
  std::vector<TLaunchData> slots;   // (g - 1) * 40 + (s - 1)
};

TLaunchData Record(int g, int s) {
  TLaunchData r;
  const std::string n = std::to_string(g) + "-" + std::to_string(s);
  r.FPFileName = "C:\\Program Files\\表計算ソフト\\道具" + n + "\\program.exe";
  r.WorkingDir = "C:\\Program Files\\表計算ソフト\\道具" + n + "\\";
  r.ShowName = "予定表 " + n;
  r.IconFile = r.FPFileName;
  r.IconIndex = s % 4;
  r.ExecOption = 1 + s % 3;
  r.DoBackUp = (g + s) % 2 == 0;
  return r;
}

Table FullTable(const std::string& exeDir) {
  Table t;
  t.settings.SettingsPath = kb::SettingsPathFor(exeDir);
  t.settings.GroupCount = kb::kMaxGroups;
  t.settings.ListCount = kb::kMaxSlots;
  t.settings.VersionStamp = "2.00";
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    t.groups.push_back(Record(g, 0));
    for (int s = 1; s <= kb::kMaxSlots; ++s) t.slots.push_back(Record(g, s));
  }
  return t;
}

void SaveOurs(const Table& t) {
  kb::PrepareSettingsFolder(t.settings);
  kb::ProfileWriter w(t.settings.SettingsPath);
  kb::WriteBarSettings(w, t.settings, kb::Bounds{0, 0, 38, 768}, t.groups.data(), kb::kMaxGroups);
  kb::WriteWindowSection(w, kb::Bounds{38, 0, 986, 38}, 25);
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    for (int s = 1; s <= kb::kMaxSlots; ++s) {
      kb::WriteLaunchData(w, kb::SlotSectionName(g, s), t.slots[(g - 1) * 40 + (s - 1)]);
    }
  }
  w.Commit();
}

// Loads as the launcher does: the settings, then the group records, then the
// slot table, each session opening the file afresh.
Table LoadOurs(const std::string& exeDir) {
  Table t;
  t.settings = kb::LoadSettings(exeDir);
  const kb::ProfileReader groups(t.settings.SettingsPath);
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    t.groups.push_back(kb::ReadLaunchData(groups, kb::GroupSectionName(g)));
  }
  const kb::ProfileReader slots(t.settings.SettingsPath);
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    for (int s = 1; s <= kb::kMaxSlots; ++s) {
      t.slots.push_back(kb::ReadLaunchData(slots, kb::SlotSectionName(g, s)));
    }
  }
  return t;
}

// Every key of a save, as (section, key, value), in the order of the save.
std::vector<std::array<std::string, 3>> AllKeys(const Table& t) {
  kb::ProfileWriter w = kb::ProfileWriter::FromBytes("");
  kb::WriteBarSettings(w, t.settings, kb::Bounds{0, 0, 38, 768}, t.groups.data(), kb::kMaxGroups);
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    for (int s = 1; s <= kb::kMaxSlots; ++s) {
      kb::WriteLaunchData(w, kb::SlotSectionName(g, s), t.slots[(g - 1) * 40 + (s - 1)]);
    }
  }
  std::vector<std::array<std::string, 3>> keys;
  std::string section;
  const std::string bytes = w.Bytes();
  size_t begin = 0;
  while (begin < bytes.size()) {
    const size_t end = bytes.find("\r\n", begin);
    const std::string line = bytes.substr(begin, end - begin);
    begin = end + 2;
    if (line[0] == '[') {
      section = line.substr(1, line.size() - 2);
    } else {
      const size_t eq = line.find('=');
      keys.push_back({section, line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return keys;
}

bool SameTable(const Table& a, const Table& b) {
  return a.groups == b.groups && a.slots == b.slots && a.settings == b.settings;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const bool oursOnly = argc > 1 && std::strcmp(argv[1], "--ours-only") == 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string exeDir = std::string(temp) + "kbbench" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(exeDir.c_str(), nullptr);
  const Table table = FullTable(exeDir);

  constexpr int kRuns = 15;
  std::vector<double> saves, loads;
  double saveCpu = 0, loadCpu = 0;
  bool same = true;
  for (int i = 0; i < kRuns; ++i) {
    double c0 = CpuNow(), t0 = Now();
    SaveOurs(table);
    saves.push_back(Now() - t0);
    saveCpu += CpuNow() - c0;
    c0 = CpuNow();
    t0 = Now();
    const Table loaded = LoadOurs(exeDir);
    loads.push_back(Now() - t0);
    loadCpu += CpuNow() - c0;
    same = same && SameTable(loaded, table);
  }
  // The share of the disk: writing the same bytes again, temporary file,
  // flush and rename included.
  const std::string bytes = kb::ReadWholeFile(table.settings.SettingsPath).value_or("");
  std::vector<double> disk;
  for (int i = 0; i < kRuns; ++i) {
    const double t0 = Now();
    kb::WriteFileAtomic(table.settings.SettingsPath, bytes);
    disk.push_back(Now() - t0);
  }
  const size_t fileSize = bytes.size();
  std::printf("file: %zu bytes, %d slot sections, %d group sections\n", fileSize,
              kb::kMaxGroups * kb::kMaxSlots, kb::kMaxGroups);
  std::printf("ours:     save %.2f ms (median of %d, best %.2f), load %.2f ms (best %.2f)%s\n",
              Median(saves), kRuns, *std::min_element(saves.begin(), saves.end()), Median(loads),
              *std::min_element(loads.begin(), loads.end()),
              same ? ", read back identical" : ", READ BACK DIFFERS");
  std::printf("ours cpu: save %.2f ms, load %.2f ms (mean thread time); disk write in a save %.2f ms\n",
              saveCpu / kRuns, loadCpu / kRuns, Median(disk));
  if (!oursOnly) {
    const auto keys = AllKeys(table);
    const std::string path = exeDir + "platform.ini";
    double t0 = Now();
    for (const auto& k : keys) {
      WritePrivateProfileStringA(k[0].c_str(), k[1].c_str(), k[2].c_str(), path.c_str());
    }
    const double platformSave = Now() - t0;
    t0 = Now();
    size_t agree = 0;
    for (const auto& k : keys) {
      char buffer[1024];
      const DWORD n = GetPrivateProfileStringA(k[0].c_str(), k[1].c_str(), "", buffer, sizeof buffer,
                                               path.c_str());
      agree += std::string(buffer, n) == k[2];
    }
    const double platformLoad = Now() - t0;
    std::printf("platform: save %.0f ms, load %.0f ms (%zu keys, %zu read back equal)\n",
                platformSave, platformLoad, keys.size(), agree);
    std::printf("ratio:    save %.0fx faster, load %.0fx faster\n", platformSave / Median(saves),
                platformLoad / Median(loads));
    DeleteFileA(path.c_str());
  }
  DeleteFileA(table.settings.SettingsPath.c_str());
  RemoveDirectoryA((exeDir + "data").c_str());
  RemoveDirectoryA(exeDir.c_str());
  return same ? 0 : 1;
}
