// Help behind F1 and the bar's help button in the whole launcher, and the
// first start's note: real F1 key presses on real controls, the request each
// makes, the HTML help viewer's window they open.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "app/app.h"
#include "backup/bkup_dlg.h"
#include "app/backup_wiring.h"
#include "common/file_io.h"
#include "common/help_topics.h"
#include "common/module_folder.h"
#include "groups/edit_window.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "launcher/start_note.h"
#include "launcher/tests/launcher_fixture.h"
#include "settings/pages_dlg.h"
#include "win/testing/testing.h"
#include "win/text.h"

#include <htmlhelp.h>

namespace kb {
namespace {

using win::testing::WaitUntil;

// A launcher at the left edge with the help file built beside the tests.
struct Launcher {
  explicit Launcher(bool withSettings = true, bool note = false) {
    if (withSettings) folder.WriteData("KBINI.dat", "[Info]\r\nType=1\r\n");
    const std::string built = ModuleFolder().value_or("") + help::kHtmlHelpFileName;
    CopyFileW(win::Widen(built).c_str(), win::Widen(folder.path() + help::kHtmlHelpFileName).c_str(),
              FALSE);
    AppOptions options{folder.path(), 1024, 768};
    options.firstStartNote = note;
    app = std::make_unique<App>(options);
    app->CreateForms();
    app->ShowBar();
    app->SetHelpCall([this](HWND, const win::HelpRequest& r) {
      std::lock_guard<std::mutex> lock(mutex);
      requests.push_back(r);
    });
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return requests.size();
  }
  testing::TempExeFolder folder;
  std::unique_ptr<App> app;
  std::mutex mutex;
  std::vector<win::HelpRequest> requests;
};

BOOL CALLBACK AddWindow(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

void CollectContexts(HWND window, std::vector<HWND>& out) {
  out.push_back(window);
  EnumChildWindows(window, &AddWindow, reinterpret_cast<LPARAM>(&out));
}

// Presses F1 for real (the system makes WM_HELP of it at the focused window).
void PressF1() {
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

// The numbers read off every window and control of the launcher: each has
// a page, and every control of the bar, the group window, the registration
// dialog and the backup target dialog reaches one.
TEST(Help, EveryContextNumberOfTheLaunchersWindowsHasAPage) {
  Launcher l;
  std::vector<HWND> carried, settingsWindows;
  for (HWND form : {l.app->MainForm().hwnd(), l.app->SubForm().hwnd(), l.app->EditWindow().hwnd(),
                    l.app->Backup().Dialog().hwnd()}) {
    CollectContexts(form, carried);
  }
  for (HWND w : carried) EXPECT_NE(win::ContextOf(w), 0u) << w;
  // The settings dialog, made for each opening: read while it is open, and
  // F1 there opens the real viewer.
  HWND viewer = nullptr;
  std::thread reader([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !(dialog = win::testing::FindOwnWindow(TPagesDlg::kClassName)); ++i) Sleep(50);
    if (!dialog) return;
    CollectContexts(dialog, settingsWindows);
    Sleep(300);
    PressF1();
    for (int i = 0; i < 400 && !(viewer = win::testing::FindOwnWindow(L"HH Parent")); ++i) Sleep(50);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  l.app->ShowSettingsDialog();
  reader.join();
  EXPECT_NE(viewer, nullptr) << "F1 in the settings dialog opened no viewer";
  ASSERT_FALSE(settingsWindows.empty());
  carried.insert(carried.end(), settingsWindows.begin(), settingsWindows.end());
  std::set<DWORD> numbers;
  for (HWND w : carried) {
    if (const DWORD context = GetWindowContextHelpId(w)) numbers.insert(context);
  }
  for (DWORD context : numbers) EXPECT_NE(help::PageOf(context), nullptr) << context;
  win::CloseHelpViewer();
}

// F1 in each window asks for the page of the focused control's number;
// the help button asks for the contents; the requests open the viewer.
TEST(Help, F1InEachWindowAndTheHelpButtonOpenTheirPagesInTheViewer) {
  Launcher l;
  const std::string chm = l.folder.path() + help::kHtmlHelpFileName;
  auto pressOn = [&](HWND control) {
    const size_t before = l.Count();
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    SetFocus(control);
    win::testing::PumpMessagesFor(100);
    PressF1();
    EXPECT_TRUE(WaitUntil([&] { return l.Count() > before; }, 10000));
    std::lock_guard<std::mutex> lock(l.mutex);
    return l.requests.empty() ? win::HelpRequest{} : l.requests.back();
  };
  TMainForm& bar = l.app->MainForm();
  EXPECT_EQ(pressOn(bar.HelpBtn.hwnd()), (win::HelpRequest{chm, HH_DISPLAY_TOPIC, 5, "bar.htm#help"}));
  EXPECT_EQ(pressOn(bar.SpeedButton1.hwnd()).page, "bar.htm");

  TSubForm& group = l.app->SubForm();
  group.ShowGroup(1);
  group.ShowBeside(0, 39);
  EXPECT_EQ(pressOn(group.Buttons(1).hwnd()).page, "groupwindow.htm");
  group.HideWindow();

  // In the modal dialogs, from a thread of its own: the dialog's loop runs.
  auto inDialog = [&](const std::function<int()>& execute, HWND dialog) {
    const size_t before = l.Count();
    std::atomic<bool> done{false};
    std::thread presser([&] {
      for (int i = 0; i < 200 && !done; ++i) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        if (IsWindowVisible(dialog) && info.hwndFocus && GetAncestor(info.hwndFocus, GA_ROOT) == dialog) break;
        Sleep(50);
      }
      PressF1();
      for (int i = 0; i < 200 && l.Count() == before; ++i) Sleep(50);
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    execute();
    done = true;
    presser.join();
    std::lock_guard<std::mutex> lock(l.mutex);
    return l.requests.size() > before ? l.requests.back() : win::HelpRequest{};
  };
  TEditWindow& edit = l.app->EditWindow();
  EXPECT_EQ(inDialog([&] { return edit.Execute(); }, edit.hwnd()).page, "groupwindow.htm");
  TBKUPDlg& backup = l.app->Backup().Dialog();
  EXPECT_EQ(inDialog([&] { return backup.Execute(); }, backup.hwnd()).page, "backup.htm");

  // The bar's help button: the contents page.
  const size_t before = l.Count();
  SendMessageW(bar.HelpBtn.hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(l.Count(), before + 1);
  EXPECT_EQ(l.requests.back(), (win::HelpRequest{chm, HH_DISPLAY_TOPIC, 0, "index.htm"}));

  // The real viewer: its window, titled as the help file, on a thread of
  // its own (usable while a dialog of the launcher is modal).
  l.app->SetHelpCall(nullptr);
  SendMessageW(bar.HelpBtn.hwnd(), BM_CLICK, 0, 0);
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (viewer = win::testing::FindOwnWindow(L"HH Parent")) != nullptr; }, 20000));
  EXPECT_EQ(win::testing::ReadWindowText(viewer), "Kobaruneのヘルプ");
  EXPECT_NE(GetWindowThreadProcessId(viewer, nullptr), GetCurrentThreadId());
  win::CloseHelpViewer();
  EXPECT_FALSE(IsWindow(viewer));
}

// In a folder without any help file, F1 and the help button say so.
TEST(Help, AFolderWithoutHelpFilesToldSo) {
  Launcher l;
  DeleteFileW(win::Widen(l.folder.path() + help::kHtmlHelpFileName).c_str());
  auto missing = win::testing::AnswerDialogLater("情報", IDOK);
  SendMessageW(l.app->MainForm().HelpBtn.hwnd(), BM_CLICK, 0, 0);
  ASSERT_TRUE(missing->Fired());
  EXPECT_EQ(missing->ShownText(), win::MissingHelpText("Pelkan2.hlp"));
  EXPECT_EQ(l.Count(), 0u);
}

// The note on a start without a settings file, beside the bar and clear of
// it; none once the close has saved the settings, none with a settings file.
TEST(StartNote, ShowsOnTheFirstStartOnlyBesideTheBar) {
  testing::TempExeFolder folder;
  AppOptions options{folder.path(), 1024, 768};
  options.firstStartNote = true;
  {
    App first(options);
    first.CreateForms();
    first.ShowBar();
    TStartNote* note = first.StartNote();
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(IsWindowVisible(note->hwnd()));
    EXPECT_EQ(win::testing::ReadWindowText(note->hwnd()), TStartNote::Text());
    RECT n, b, overlap;
    GetWindowRect(note->hwnd(), &n);
    GetWindowRect(first.MainForm().hwnd(), &b);
    EXPECT_FALSE(IntersectRect(&overlap, &n, &b));
    EXPECT_GE(n.left, b.right);
    // Not activated: the keyboard stays where the user works.
    EXPECT_NE(GetForegroundWindow(), note->hwnd());
    // A click closes it.
    PostMessageW(note->hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return first.StartNote() == nullptr; }));
    first.Close();
  }
  ASSERT_TRUE(FileExists(folder.DataPath("KBINI.dat")));
  App second(options);
  second.CreateForms();
  second.ShowBar();
  EXPECT_EQ(second.StartNote(), nullptr);
}

TEST(StartNote, NoneWhenASettingsFileExistsAndOpeningAGroupClosesIt) {
  Launcher existing(true, true);
  EXPECT_EQ(existing.app->StartNote(), nullptr);
  Launcher fresh(false, true);
  ASSERT_NE(fresh.app->StartNote(), nullptr);
  ASSERT_NE(fresh.app->MainForm().GroupButton(1), nullptr);
  SendMessageW(fresh.app->MainForm().GroupButton(1)->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageW(fresh.app->MainForm().GroupButton(1)->hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return fresh.app->SubForm().Visible(); }));
  EXPECT_EQ(fresh.app->StartNote(), nullptr);
}

}  // namespace
}  // namespace kb
