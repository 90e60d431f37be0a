// Measures a group switch as the user makes it: a click on another group
// button loads that group into the group window's 40 program buttons
// (records and icon-store cells) and shows the window beside the button.
// Prints the median and the 90th percentile over many switches; the goals
// are a median under 2 ms for loading a group into the buttons (ShowGroup)
// and the window fully painted within one frame (16 ms), median and 90th
// percentile, both from one group to another and when the window was hidden
// before.  The window paints itself as it is shown, so the first two lines
// differ only by the (then empty) repaint request of the second.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "app/group_actions.h"
#include "groups/sub_form.h"
#include "app/app.h"
#include "launcher/main_form.h"
#include "win/text.h"

namespace {

std::string MakeExeFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::string folder = *kb::win::Narrow(temp) + "kb_bench_groups_" +
                       std::to_string(GetCurrentProcessId()) + "\\";
  kb::CreateFolder(folder);
  kb::CreateFolder(folder + "data");
  // A left bar with a fixed 40 program buttons and 40 store columns.
  kb::WriteFileAtomic(folder + "data\\KBINI.dat",
                      "[Info]\r\nType=1\r\nMaxFileLimit=1\r\nTMaxFileNum=40\r\n"
                      "[List]\r\nNumber=40\r\n");
  return folder;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void Report(const char* what, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  std::printf("%-44s median %.3f ms  p90 %.3f ms  max %.3f ms  (%zu switches)\n", what,
              samples[samples.size() / 2], samples[samples.size() * 9 / 10], samples.back(),
              samples.size());
}

void Run(const std::string& folder) {
  kb::AppOptions options;
  options.exeDir = folder;
  options.screenWidth = 1600;
  options.screenHeight = 1200;
  kb::App app(options);
  app.CreateForms();
  kb::TSubForm& form = app.SubForm();
  const int groups = std::min<int>(app.settings.GroupCount, 8);
  for (int g = 1; g <= groups; ++g) {
    for (int s = 1; s <= 40; ++s) {
      kb::TLaunchData& r = form.Entries.At(g, s);
      r.FPFileName = "C:\\Programs\\Tool" + std::to_string(g) + "-" + std::to_string(s) + ".exe";
      r.WorkingDir = "C:\\Programs\\";
      r.ShowName = "ツール" + std::to_string(g) + "-" + std::to_string(s);
      r.IconFile = r.FPFileName;
    }
  }
  std::printf("group window: %d program buttons, %d groups switched\n", form.ButtonCount(), groups);

  LARGE_INTEGER frequency, t0, t1;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> switchOnly, switchAndPaint, openAndPaint, showGroupOnly, hintsOnly, cellsOnly,
      invalidateOnly;
  const int rounds = 400;
  for (int i = 0; i < rounds; ++i) {
    kb::TGroupButton* button = app.MainForm().GroupButton(1 + i % groups);
    QueryPerformanceCounter(&t0);
    kb::OpenGroupWindow(app, *button);
    QueryPerformanceCounter(&t1);
    switchOnly.push_back(Milliseconds(t0, t1, frequency));
    // The same switch again, with the 40 buttons painted before the clock stops.
    button = app.MainForm().GroupButton(1 + (i + 1) % groups);
    QueryPerformanceCounter(&t0);
    kb::OpenGroupWindow(app, *button);
    RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&t1);
    switchAndPaint.push_back(Milliseconds(t0, t1, frequency));
    Pump();
    // Opened after it was hidden (a click on the shown group's button).
    form.HideWindow();
    Pump();
    button = app.MainForm().GroupButton(1 + (i + 2) % groups);
    QueryPerformanceCounter(&t0);
    kb::OpenGroupWindow(app, *button);
    RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&t1);
    openAndPaint.push_back(Milliseconds(t0, t1, frequency));
    Pump();
    // The parts: loading the buttons alone, and setting the 40 hints alone.
    QueryPerformanceCounter(&t0);
    form.ShowGroup(1 + i % groups);
    QueryPerformanceCounter(&t1);
    showGroupOnly.push_back(Milliseconds(t0, t1, frequency));
    // The parts of a switch: records and hints, the icon cells, the repaint
    // request, each for another group than the one shown.
    const int other = 1 + (i + 3) % groups;
    QueryPerformanceCounter(&t0);
    for (int s = 1; s <= form.ButtonCount(); ++s) {
      kb::TExecButton& b = form.Buttons(s);
      b.Entry = form.Entries.At(other, s);
      b.SetHint(b.Entry.ShowName);
    }
    QueryPerformanceCounter(&t1);
    hintsOnly.push_back(Milliseconds(t0, t1, frequency));
    std::vector<uint32_t*> glyphs;
    for (int s = 1; s <= form.ButtonCount(); ++s) glyphs.push_back(form.Buttons(s).GlyphPixels());
    QueryPerformanceCounter(&t0);
    app.Icons.CopyRowToGlyphs(other - 1, glyphs.data(), static_cast<int>(glyphs.size()));
    QueryPerformanceCounter(&t1);
    cellsOnly.push_back(Milliseconds(t0, t1, frequency));
    QueryPerformanceCounter(&t0);
    InvalidateRect(form.hwnd(), nullptr, FALSE);
    QueryPerformanceCounter(&t1);
    invalidateOnly.push_back(Milliseconds(t0, t1, frequency));
    Pump();
  }
  Report("ShowGroup + show beside the button:", switchOnly);
  Report("ShowGroup + show + paint of 40 buttons:", switchAndPaint);
  Report("the same, the window hidden before:", openAndPaint);
  Report("  of which ShowGroup alone:", showGroupOnly);
  Report("  of which records and 40 changed hints:", hintsOnly);
  Report("  of which the 40 icon cells:", cellsOnly);
  Report("  of which the repaint request:", invalidateOnly);
}

}  // namespace

int main() {
  const std::string folder = MakeExeFolder();
  Run(folder);
  // The launcher is gone; its settings were never saved.
  DeleteFileW(kb::win::Widen(folder + "data\\KBINI.dat").c_str());
  RemoveDirectoryW(kb::win::Widen(folder + "data").c_str());
  RemoveDirectoryW(kb::win::Widen(folder).c_str());
  return 0;
}
