// The key that calls the launcher from any program: pressed for real (the
// X server's keyboard, through xdotool) in another program's window, taken
// by another program, chosen on the settings dialog and kept over a restart.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/app.h"
#include "app/settings_wiring.h"
#include "app/tests/groups_fixture.h"
#include "groups/exec_button.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "model/hot_key.h"
#include "settings/pages_dlg.h"
#include "win/hot_key_edit.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;

// Another program with a window of its own: Wine's notepad.
class OtherProgram {
 public:
  OtherProgram() {
    wchar_t command[] = L"notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
      return;
    }
    WaitForInputIdle(info_.hProcess, 10000);
    wt::WaitUntil([&] { return (window_ = FindWindowOf(info_.dwProcessId)) != nullptr; }, 10000);
  }
  ~OtherProgram() {
    if (info_.hProcess) {
      TerminateProcess(info_.hProcess, 0);
      WaitForSingleObject(info_.hProcess, 5000);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  HWND Window() const { return window_; }
  // Brings the window to the front with the X server's keyboard focus.
  bool Activate() {
    SetForegroundWindow(window_);
    const bool front = wt::WaitUntil([&] { return GetForegroundWindow() == window_; }, 5000);
    wt::PumpMessagesFor(200);
    return front;
  }

 private:
  struct Search {
    DWORD process;
    HWND found;
  };
  static BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->process && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
      s->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  static HWND FindWindowOf(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

// Whether another window may still register the key (the launcher does not
// hold it).
bool KeyIsFree(const HotKey& key) {
  constexpr int kProbeId = 0x7F00;
  if (!win::RegisterHotKeyFor(nullptr, kProbeId, key)) return false;
  UnregisterHotKey(nullptr, kProbeId);
  return true;
}

const HotKey kDefault = *ParseHotKey(kDefaultHotKeyText);
const HotKey kOther = *ParseHotKey("Ctrl+Shift+F9");

class HotKeyTest : public LauncherTest {
 protected:
  void SetUp() override { hotKey_ = true; }
  void TearDown() override {
    dialog_.reset();
    LauncherTest::TearDown();
  }
  TPagesDlg& Dialog() {
    actions_ = std::make_unique<SettingsWiring>(app());
    dialog_ = std::make_unique<TPagesDlg>(app().MainForm().hwnd(), app(), *actions_);
    dialog_->FormShow();
    return *dialog_;
  }
  // Presses the default key on the X server's keyboard and waits for the
  // group window to take the keyboard.  The X server's focus follows a
  // window brought to the front a moment later: a press that came before
  // it went elsewhere, and is made once more.
  bool PressHotKey() {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (!wt::RunXdotool("key --clearmodifiers ctrl+alt+k")) return false;
      if (wt::WaitUntil([&] {
            return form().Visible() && GetForegroundWindow() == form().hwnd() &&
                   GetFocus() == slot(1).hwnd();
          }, 4000)) {
        return true;
      }
    }
    return false;
  }
  std::unique_ptr<SettingsWiring> actions_;
  std::unique_ptr<TPagesDlg> dialog_;
};

TEST_F(HotKeyTest, KeyPressedInAnotherProgramOpensTheGroupShownLastWithTheFocusOnItsFirstButton) {
  Start("[Info]\r\nType=1\r\nAutoHide=1\r\n", 1024, 768);
  ASSERT_TRUE(app().HotKeyRegistered());
  OtherProgram other;
  ASSERT_NE(other.Window(), nullptr);

  // The first use: a collapsed bar expands and the first group opens.
  app().MainForm().CollapseBar();
  ASSERT_TRUE(other.Activate());
  ASSERT_TRUE(PressHotKey());
  EXPECT_FALSE(app().MainForm().Collapsed());
  EXPECT_EQ(form().ShownGroup(), 1);
  EXPECT_EQ(app().OpenGroup, 1);
  EXPECT_EQ(app().HotKeyReturnWindow(), other.Window());

  // Later: the group shown last, wherever the focus was.
  Click(group(3).hwnd());
  ASSERT_EQ(form().ShownGroup(), 3);
  form().HideWindow();
  app().OpenGroup = 0;
  ASSERT_TRUE(other.Activate());
  ASSERT_TRUE(PressHotKey());
  EXPECT_EQ(form().ShownGroup(), 3);
  EXPECT_EQ(app().HotKeyReturnWindow(), other.Window());

  // Pressed again inside the launcher, the window to go back to stays.
  ASSERT_TRUE(PressHotKey());
  EXPECT_EQ(app().HotKeyReturnWindow(), other.Window());

  // Esc closes the group window and the other program has the keyboard again.
  // As with the hot key, a press before the X server's focus came is made
  // once more (Esc in the other program does nothing).
  bool back = false;
  for (int attempt = 0; attempt < 2 && !back; ++attempt) {
    ASSERT_TRUE(wt::RunXdotool("keydown shift sleep 0.05 keyup shift sleep 0.05 key Escape"));
    back = wt::WaitUntil([&] {
      return !form().Visible() && GetForegroundWindow() == other.Window();
    }, 4000);
  }
  EXPECT_TRUE(back);
  EXPECT_EQ(app().OpenGroup, 0);
}

TEST_F(HotKeyTest, KeyAnotherProgramHoldsIsToldAndTheSettingKept) {
  constexpr int kHeldId = 0x7F01;
  ASSERT_TRUE(win::RegisterHotKeyFor(nullptr, kHeldId, kOther));
  Start("[Info]\r\nType=1\r\nHotKey=Ctrl+Shift+F9\r\n");
  EXPECT_FALSE(app().HotKeyRegistered());
  ASSERT_EQ(app().PendingErrorCount(), 1u);
  wt::DialogWatch box("Kobarune", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, 8000);
  app().ShowPendingErrors();
  ASSERT_TRUE(box.Fired());
  EXPECT_NE(box.ShownText().find("Ctrl+Shift+F9"), std::string::npos) << box.ShownText();
  EXPECT_NE(box.ShownText().find("他のプログラム"), std::string::npos) << box.ShownText();

  // Chosen again on the dialog while still held: told again, and kept.
  TPagesDlg& d = Dialog();
  EXPECT_TRUE(d.HotKeyCheck.Checked());
  EXPECT_EQ(d.HotKeyField.Key(), kOther);
  d.OKBtnClick();
  EXPECT_EQ(app().PendingErrorCount(), 1u);
  dialog_.reset();
  UnregisterHotKey(nullptr, kHeldId);
  app().Close();
  EXPECT_NE(SettingsText().find("HotKey=Ctrl+Shift+F9\r\n"), std::string::npos) << SettingsText();
}

TEST_F(HotKeyTest, KeyChosenOnTheDialogIsRegisteredAtOnceAndAfterARestart) {
  struct Case {
    bool checked;
    const HotKey* field;
    const char* stored;  // nullptr: no key in the file
    const HotKey* held;  // what the launcher holds after OK
  };
  const Case cases[] = {
      {true, &kDefault, nullptr, &kDefault},        // unchanged: the file stays without the key
      {true, &kOther, "Ctrl+Shift+F9", &kOther},
      {false, &kOther, "none", nullptr},
      {true, nullptr, "none", nullptr},              // an emptied field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(none stored)");
    folder_.Write("data\\KBINI.dat", "[Info]\r\nType=1\r\n");
    Start("");
    ASSERT_TRUE(app().HotKeyRegistered());
    ASSERT_FALSE(KeyIsFree(kDefault));
    TPagesDlg& d = Dialog();
    EXPECT_EQ(d.HotKeyField.Key(), kDefault);
    d.HotKeyCheck.SetChecked(c.checked);
    d.HotKeyField.SetKey(c.field ? *c.field : HotKey{});
    d.OKBtnClick();
    dialog_.reset();
    for (const HotKey* key : {&kDefault, &kOther}) {
      EXPECT_EQ(KeyIsFree(*key), key != c.held) << HotKeyText(*key);
    }
    for (int run = 0; run < 2; ++run) {  // after OK, then after a restart
      app().Close();
      const std::string text = SettingsText();
      EXPECT_EQ(text.find("HotKey="), c.stored ? text.find(std::string("HotKey=") + c.stored + "\r\n")
                                               : std::string::npos)
          << text;
      Stop();
      Start("");
      EXPECT_EQ(app().HotKeyRegistered(), c.held != nullptr);
      if (c.held) {
        EXPECT_FALSE(KeyIsFree(*c.held));
      }
    }
    Stop();
  }
}

}  // namespace
}  // namespace kb::groups_testing
