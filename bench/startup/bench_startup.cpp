// Prints the launcher's start-up time (process start until the bar is shown)
// with a full data set, beside that of the least a launcher bar has to do
// (bench_minimal_bar: a mutex, one read of the settings file, a bar with its
// buttons) and of an empty Win32 window program, under the same Wine in the
// same run, and the time the close sequence takes to save.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/profile.h"
#include "app/app.h"
#include "model/bmp_file.h"
#include "launcher/main_form.h"
#include "model/launch_data.h"
#include "common/module_folder.h"
#include "components/icon_tray.h"
#include "win/text.h"

namespace {

// <chrono> cannot be used: its "µs" does not exist in the Shift-JIS literal set.
struct Clock {
  static double now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
  }
};

double Ms(double elapsed) { return elapsed; }

// A start that never showed its window (-1) is left out of the figures.
std::vector<double> Shown(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double ms) { return ms < 0; }), v.end());
  return v;
}

double Median(std::vector<double> v) {
  v = Shown(std::move(v));
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Least(const std::vector<double>& v) {
  const std::vector<double> shown = Shown(v);
  return shown.empty() ? 0 : *std::min_element(shown.begin(), shown.end());
}

// 40 groups and 40 slots each, every record filled, and a full icon store.
void WriteFullDataSet(const std::string& exeDir) {
  CreateDirectoryW(kb::win::Widen(exeDir + "data").c_str(), nullptr);
  kb::ProfileWriter writer(exeDir + "data\\KBINI.dat");
  writer.WriteInteger("Info", "Type", 0);  // top: 23 groups on 1024, all 40 on 1700
  writer.WriteInteger("Group", "Number", 40);
  writer.WriteInteger("List", "Number", 40);
  for (int g = 1; g <= kb::kMaxGroups; ++g) {
    kb::TLaunchData group{"", "", "グループ" + std::to_string(g), "C:\\icons\\g.ico", g, 1, false};
    kb::WriteLaunchData(writer, kb::GroupSectionName(g), group);
    for (int s = 1; s <= kb::kMaxSlots; ++s) {
      const std::string name = "プログラム" + std::to_string(g) + "-" + std::to_string(s);
      const std::string folder = std::string("C:\\Program Files\\").append(name);
      kb::TLaunchData slot{folder + "\\" + name + ".exe", "C:\\work", name, folder + ".exe", 0, 1,
                           s % 3 == 0};
      kb::WriteLaunchData(writer, kb::SlotSectionName(g, s), slot);
    }
  }
  writer.Commit();
  const int width = (kb::kMaxSlots + 1) * 32, height = kb::kMaxGroups * 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  kb::WriteFileAtomic(exeDir + "data\\Iconbmp.dat", kb::EncodeBmp24(width, height, pixels));
}

// A bar placed beyond the screen's edge, as a docked bottom or right bar is
// made, is not on the screen yet.
bool OnScreen(HWND w) {
  RECT r{}, visible{};
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return GetWindowRect(w, &r) && IntersectRect(&visible, &r, &screen);
}

// Starts exe and waits until a visible window of class `cls` of that process
// is on the screen; returns the milliseconds, then closes the window and waits for the
// process to end.
double TimeStart(const std::string& exe, const wchar_t* cls, double* exitMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + kb::win::Widen(exe) + L"\"";
  const auto t0 = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return -1;
  }
  HWND shown = nullptr;
  while (!shown && Ms(Clock::now() - t0) < 30000) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, cls, nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == info.dwProcessId && IsWindowVisible(w) && OnScreen(w)) shown = w;
    }
    if (!shown) Sleep(1);
  }
  const double startMs = Ms(Clock::now() - t0);
  const auto t1 = Clock::now();
  if (shown) PostMessageW(shown, WM_CLOSE, 0, 0);
  WaitForSingleObject(info.hProcess, 30000);
  if (exitMs) *exitMs = Ms(Clock::now() - t1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return shown ? startMs : -1;
}

// The close sequence in-process: from the close request until the bar is
// gone, both files written.
double TimeCloseInProcess(const std::string& exeDir, double* createMs, double* iconSaveMs) {
  kb::App app(kb::AppOptions{exeDir, 1700, 1000});  // room for all 40 groups
  const auto c0 = Clock::now();
  app.CreateForms();
  *createMs = Ms(Clock::now() - c0);
  const auto s0 = Clock::now();
  app.Icons.Save(exeDir + "data\\Iconbmp_copy.dat");
  *iconSaveMs = Ms(Clock::now() - s0);
  const auto t0 = Clock::now();
  app.Close();
  return Ms(Clock::now() - t0);
}

// Parts of the bar's start-up: the settings file, the icon store.
void TimeParts(const std::string& exeDir, double* settingsMs, double* iconsMs, double* savedMs) {
  auto t0 = Clock::now();
  const kb::Settings settings = kb::LoadSettings(exeDir);
  *settingsMs = Ms(Clock::now() - t0);
  kb::IconStore store;
  t0 = Clock::now();
  store.Load(exeDir + "data\\Iconbmp.dat", kb::kMaxSlots + 1, kb::kMaxGroups);
  *iconsMs = Ms(Clock::now() - t0);
  // The file as the launcher itself saves it (TimeCloseInProcess wrote it).
  kb::IconStore saved;
  t0 = Clock::now();
  saved.Load(exeDir + "data\\Iconbmp_copy.dat", kb::kMaxSlots + 1, kb::kMaxGroups);
  *savedMs = Ms(Clock::now() - t0);
}

// The main bar alone (settings, its group buttons, records, icon store),
// and its registration at the edge on its own.
double TimeBarCreate(const std::string& exeDir, double* registerMs) {
  kb::App app(kb::AppOptions{exeDir, 1700, 1000});
  kb::TMainForm bar(app, app.Icons, [] {});
  const auto t0 = Clock::now();
  bar.Create(nullptr);
  const double createMs = Ms(Clock::now() - t0);
  const auto r0 = Clock::now();
  bar.RegisterEdge();  // as the bar shows, after it is on the screen
  *registerMs = Ms(Clock::now() - r0);
  return createMs;
}

// The tray icon: made and added to the notification area, then removed.
double TimeTrayIcon(double* removeMs) {
  const auto t0 = Clock::now();
  auto tray = std::make_unique<kb::TIconTray>();
  tray->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");
  tray->SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  const double addMs = Ms(Clock::now() - t0);
  const auto r0 = Clock::now();
  tray.reset();
  *removeMs = Ms(Clock::now() - r0);
  return addMs;
}

}  // namespace

// Arguments: the number of rounds (7), and optionally another build of
// Pelkan2.exe to time in the same rounds (a before-and-after comparison on a
// machine whose load changes from minute to minute).
int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
  const std::string other = argc > 2 ? argv[2] : "";
  const std::string bin = kb::ModuleFolder().value();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string dir = *kb::win::Narrow(temp) + "kb_bench_startup\\";
  CreateDirectoryW(kb::win::Widen(dir).c_str(), nullptr);
  // The launcher as it ships: its archiver library beside it.
  for (const char* program : {"Pelkan2.exe", "UNLHA32.DLL", "bench_minimal_bar.exe"}) {
    CopyFileW(kb::win::Widen(bin + program).c_str(), kb::win::Widen(dir + program).c_str(), FALSE);
  }
  if (!other.empty()) {
    CopyFileW(kb::win::Widen(other).c_str(), kb::win::Widen(dir + "Pelkan2_other.exe").c_str(),
              FALSE);
  }

  std::vector<double> empty, emptyImports, minimalBar, firstStart, launcher, launcherExit;
  std::vector<double> otherFirst, otherLater;
  std::vector<double> close, create, iconSave, bar, registration, trayAdd, trayRemove;
  std::vector<double> settingsLoad, iconLoad, savedLoad;
  TimeStart(bin + "bench_empty_window.exe", L"KbEmptyWindow", nullptr);  // warm-up
  for (int i = 0; i < runs; ++i) {
    WriteFullDataSet(dir);
    empty.push_back(TimeStart(bin + "bench_empty_window.exe", L"KbEmptyWindow", nullptr));
    emptyImports.push_back(
        TimeStart(bin + "bench_empty_window_imports.exe", L"KbEmptyWindow", nullptr));
    minimalBar.push_back(TimeStart(dir + "bench_minimal_bar.exe", L"KbMinimalBar", nullptr));
    // The first start reads the icon store as another program wrote it (24
    // bits, bottom-up); its close saves it in the launcher's own layout,
    // which every later start reads.
    firstStart.push_back(TimeStart(dir + "Pelkan2.exe", L"TMainForm", nullptr));
    double exitMs = 0;
    launcher.push_back(TimeStart(dir + "Pelkan2.exe", L"TMainForm", &exitMs));
    launcherExit.push_back(exitMs);
    if (!other.empty()) {
      WriteFullDataSet(dir);
      otherFirst.push_back(TimeStart(dir + "Pelkan2_other.exe", L"TMainForm", nullptr));
      otherLater.push_back(TimeStart(dir + "Pelkan2_other.exe", L"TMainForm", nullptr));
    }
  }
  for (int i = 0; i < runs; ++i) {
    WriteFullDataSet(dir);
    double createMs = 0, iconSaveMs = 0;
    close.push_back(TimeCloseInProcess(dir, &createMs, &iconSaveMs));
    create.push_back(createMs);
    iconSave.push_back(iconSaveMs);
    double registerMs = 0, removeMs = 0;
    bar.push_back(TimeBarCreate(dir, &registerMs));
    registration.push_back(registerMs);
    trayAdd.push_back(TimeTrayIcon(&removeMs));
    trayRemove.push_back(removeMs);
    double settingsMs = 0, iconsMs = 0, savedMs = 0;
    TimeParts(dir, &settingsMs, &iconsMs, &savedMs);
    savedLoad.push_back(savedMs);
    settingsLoad.push_back(settingsMs);
    iconLoad.push_back(iconsMs);
  }
  const double e = Median(empty), m = Median(minimalBar), l = Median(launcher);
  const double leastM = Least(minimalBar);
  std::printf("runs: %d (median of each; the least in brackets)\n", runs);
  std::printf("empty window start-up:            %8.1f ms  (%.1f)\n", e, Least(empty));
  std::printf("  with the launcher's system DLLs:  %8.1f ms  (%.1f)\n", Median(emptyImports),
              Least(emptyImports));
  std::printf("minimal bar (mutex, settings read once, bar and buttons): %.1f ms  (%.1f)\n", m,
              leastM);
  // Also the median of each round's own ratio: the load of the machine
  // changes less within one round than over the whole run.
  const auto ratios = [&](const char* what, const std::vector<double>& v) {
    const double median = Median(v), least = Least(v);
    std::vector<double> perRound;
    for (size_t i = 0; i < v.size() && i < minimalBar.size(); ++i) {
      if (minimalBar[i] > 0 && v[i] > 0) perRound.push_back(v[i] / minimalBar[i]);
    }
    std::printf("%-34s %8.1f ms  (%.1f)  %.2f x the minimal bar"
                " (least: %.2f x; per round: %.2f x)\n",
                what, median, least, m > 0 ? median / m : 0.0, leastM > 0 ? least / leastM : 0.0,
                Median(perRound));
  };
  ratios("launcher start-up (40x40 data):", launcher);
  ratios("  first start, 24-bit icon store:", firstStart);
  std::printf("  goal: the launcher within 1.20 x the minimal bar; %.2f x the empty window\n",
              e > 0 ? l / e : 0.0);
  if (!other.empty()) {
    ratios("other build, later start:", otherLater);
    ratios("  other build, first start:", otherFirst);
  }
  std::printf("launcher close to process end:    %8.1f ms\n", Median(launcherExit));
  std::printf("close sequence in-process (save): %8.1f ms  (goal < 100)\n", Median(close));
  std::printf("  of which the icon store's file:  %8.1f ms\n", Median(iconSave));
  std::printf("forms created in-process (40 groups): %5.1f ms\n", Median(create));
  std::printf("  of which the main bar:           %8.1f ms\n", Median(bar));
  std::printf("    settings file read once:       %8.1f ms\n", Median(settingsLoad));
  std::printf("    icon store loaded:             %8.1f ms\n", Median(iconLoad));
  std::printf("    (as saved by the launcher:     %8.1f ms)\n", Median(savedLoad));
  std::printf("edge registration (shell), after the show: %.1f ms\n", Median(registration));
  std::printf("tray icon made and added:         %8.1f ms\n", Median(trayAdd));
  std::printf("  and removed:                    %8.1f ms\n", Median(trayRemove));
  return 0;
}
