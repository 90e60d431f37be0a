// The launcher without the mouse, in-process under Wine: the group window
// opened for the keyboard, real key presses through the X server (xdotool)
// moving the focus, switching groups, starting and registering programs and
// closing the window; the buttons' names as the accessibility interface
// reads them.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <string>

#include "app/backup_wiring.h"
#include "backup/backup_worker.h"
#include "app/group_actions.h"
#include "app/tests/groups_fixture.h"
#include "common/profile.h"
#include "launcher/main_form.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"
#include "win/text.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;

const char kTopBar[] = "[Info]\r\nType=0\r\n";

// Another program's window with a text box that has the focus.
class OtherWindow {
 public:
  OtherWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                              300, 200, nullptr, nullptr, nullptr, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24,
                            window_, nullptr, nullptr, nullptr);
    SetForegroundWindow(window_);
    SetFocus(edit_);
    wt::WaitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
    // The window manager hands a new window the focus a moment after it
    // maps it: that must not come after the group window took it.
    wt::PumpMessagesFor(400);
    SetFocus(edit_);
  }
  ~OtherWindow() { DestroyWindow(window_); }
  HWND edit() const { return edit_; }

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

class KeyboardTest : public LauncherTest {
 protected:
  void SetSlot(int g, int s, const std::string& name) {
    TLaunchData record = RecordFor("C:\\tools\\" + name + ".exe");
    record.ShowName = name;
    form().Entries.At(g, s) = record;
  }
  // Presses keys for real and waits until `done` holds.
  bool Keys(const std::string& keys, const std::function<bool()>& done) {
    // Each key held a moment, as a hand does.  Under Wine the first key of
    // a new xdotool run is lost when it repeats the last key of the run
    // before: a Shift press and release goes first.
    std::string command = "keydown shift sleep 0.05 keyup shift sleep 0.05 ";
    size_t from = 0;
    while (from < keys.size()) {
      const size_t end = std::min(keys.find(' ', from), keys.size());
      const std::string key = keys.substr(from, end - from);
      command += "keydown " + key + " sleep 0.05 keyup " + key + " sleep 0.06 ";
      from = end + 1;
    }
    if (!wt::RunXdotool(command)) return false;
    return wt::WaitUntil(done, 5000);
  }
  bool FocusOn(int n) { return GetFocus() == slot(n).hwnd(); }
};

TEST_F(KeyboardTest, OpenedForTheKeyboardTheFirstButtonHasTheFocusAndEscGivesItBack) {
  Start(kTopBar);
  OtherWindow other;
  ASSERT_TRUE(OpenGroupWindowByKeyboard(app(), other.edit()));
  EXPECT_TRUE(form().Visible());
  EXPECT_EQ(form().ShownGroup(), 1);  // the first group at the first use
  EXPECT_EQ(GetForegroundWindow(), form().hwnd());
  EXPECT_EQ(GetFocus(), slot(1).hwnd());
  EXPECT_TRUE(slot(1).FocusMarkShown());

  SendMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(form().Visible());
  EXPECT_EQ(GetFocus(), other.edit());
  EXPECT_EQ(app().OpenGroup, 0);

  // The group shown last opens again.
  Click(group(3).hwnd());
  form().HideWindow();
  ASSERT_TRUE(OpenGroupWindowByKeyboard(app(), other.edit()));
  EXPECT_EQ(form().ShownGroup(), 3);
  EXPECT_EQ(GetFocus(), slot(1).hwnd());
}

TEST_F(KeyboardTest, FocusMarksWaitForTheKeyboard) {
  Start(kTopBar);
  SetSlot(1, 1, "Alpha");
  Click(group(1).hwnd());
  Click(slot(1).hwnd());  // a click gives the focus, without the mark
  ASSERT_EQ(GetFocus(), slot(1).hwnd());
  EXPECT_FALSE(slot(1).FocusMarkShown());
  SendMessageW(slot(1).hwnd(), WM_KEYDOWN, VK_SHIFT, 0);
  EXPECT_TRUE(slot(1).FocusMarkShown());
  EXPECT_TRUE(slot(2).FocusMarkShown());  // the whole window shows them from now on
}

TEST_F(KeyboardTest, RealKeysMoveTheFocusJumpByNameAndSwitchGroups) {
  Start(kTopBar);
  SetSlot(1, 1, "Alpha");
  SetSlot(1, 2, "beta");
  SetSlot(1, 4, "Bravo");
  SetSlot(1, 5, "表計算");
  OtherWindow other;
  ASSERT_TRUE(OpenGroupWindowByKeyboard(app(), other.edit()));
  const int last = form().ButtonCount();
  ASSERT_GT(last, 5);

  // A top bar's group window runs downwards: Down and Up go along it.
  EXPECT_TRUE(Keys("Down", [&] { return FocusOn(2); }));
  EXPECT_TRUE(Keys("Up Up", [&] { return FocusOn(last); }));  // round the first
  EXPECT_TRUE(Keys("Down", [&] { return FocusOn(1); }));      // round the last
  EXPECT_TRUE(Keys("End", [&] { return FocusOn(last); }));
  EXPECT_TRUE(Keys("Home", [&] { return FocusOn(1); }));
  EXPECT_TRUE(Keys("b", [&] { return FocusOn(2); }));
  EXPECT_TRUE(Keys("b", [&] { return FocusOn(4); }));
  EXPECT_TRUE(Keys("shift+b", [&] { return FocusOn(2); }));  // either case, round the end
  // A double-byte first character, as an input method hands it over.
  SendMessageW(GetFocus(), WM_CHAR, win::Widen("表")[0], 0);
  EXPECT_TRUE(FocusOn(5));

  // Across the window: the group buttons' order, round both ends.
  const int groups = app().settings.GroupCount;
  ASSERT_GT(groups, 2);
  EXPECT_TRUE(Keys("Right", [&] { return form().ShownGroup() == 2; }));
  EXPECT_EQ(app().OpenGroup, 2);
  // The window moved beside the other group button; the window manager's
  // word on the focus may come after that, and lands on the same button.
  EXPECT_TRUE(wt::WaitUntil([&] { return FocusOn(5); }, 3000)) << "the focus stays on its button";
  EXPECT_TRUE(Keys("Prior", [&] { return form().ShownGroup() == 1; }));
  EXPECT_TRUE(Keys("Left", [&] { return form().ShownGroup() == groups; }));
  EXPECT_TRUE(Keys("Next", [&] { return form().ShownGroup() == 1; }));
  EXPECT_EQ(form().Buttons(4).Entry.ShowName, "Bravo");

  EXPECT_TRUE(Keys("Escape", [&] { return !form().Visible(); }));
  EXPECT_TRUE(wt::WaitUntil([&] { return GetFocus() == other.edit(); }, 3000));
}

TEST_F(KeyboardTest, EnterStartsTheProgramAsAClickDoesAndShiftF10Registers) {
  Start("[Info]\r\nType=0\r\nExecHide=1\r\n");
  folder_.MakeFolder("work");
  TLaunchData record = RecordFor(BinPath("launch_recorder.exe"), 3);
  record.WorkingDir = folder_.Path("work");
  record.DoBackUp = true;
  form().Entries.At(1, 2) = record;
  shell_.passThrough = true;
  SetEnvironmentVariableW(L"KB_LAUNCH_RECORD", win::Widen(folder_.Path("launch.txt")).c_str());
  int registered = 0, registrations = 0;
  form().OnRegister = [&](int n) {
    registered = n;
    ++registrations;
  };
  OtherWindow other;
  ASSERT_TRUE(OpenGroupWindowByKeyboard(app(), other.edit()));

  EXPECT_TRUE(Keys("Down shift+F10", [&] { return registered == 2; }));
  EXPECT_EQ(app().CurrentButton, 2);
  wt::PumpMessagesFor(200);
  EXPECT_EQ(registrations, 1);
  registered = 0;
  EXPECT_TRUE(Keys("Menu", [&] { return registered == 2; }));
  wt::PumpMessagesFor(200);
  EXPECT_EQ(registrations, 2);
  EXPECT_TRUE(shell_.calls.empty());

  EXPECT_TRUE(Keys("Return", [&] { return !shell_.calls.empty(); }));
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].directory, folder_.Path("work"));
  EXPECT_EQ(shell_.calls[0].showCmd, 3);
  EXPECT_EQ(backup_.calls, (std::vector<std::string>{"load binf102", "load binf102",
                                                     "load binf102", "count binf102"}));
  EXPECT_FALSE(form().Visible()) << "ExecHide";
  ASSERT_TRUE(wt::WaitUntil([&] { return folder_.Exists("launch.txt"); }, 15000));
  const std::string seen = folder_.Read("launch.txt");
  EXPECT_NE(seen.find("folder=" + folder_.Path("work")), std::string::npos) << seen;
  EXPECT_NE(seen.find("show=3"), std::string::npos) << seen;
}

TEST_F(KeyboardTest, SpaceStartsTheProgramAndMakesItsDueBackup) {
  Start(kTopBar);
  form().SetBackupHooks(&app().Backup());
  folder_.Write("APP\\x.DAT", "x");
  folder_.MakeFolder("BACK");
  folder_.Write("data\\BUInfo.dat", "[binf101]\r\nWay=0\r\nFolder=" + folder_.Path("BACK") +
                                        "\r\nTimes=3\r\nNext=1\r\nNumber=1\r\nFile1=" +
                                        folder_.Path("APP\\*.DAT") + "\r\n");
  TLaunchData record = RecordFor("C:\\APP\\app.exe");
  record.DoBackUp = true;
  form().Entries.At(1, 1) = record;
  OtherWindow other;
  ASSERT_TRUE(OpenGroupWindowByKeyboard(app(), other.edit()));
  EXPECT_TRUE(Keys("space", [&] { return !shell_.calls.empty(); }));
  ASSERT_TRUE(app().Backup().Workers().WaitAll(10000));
  EXPECT_TRUE(folder_.Exists("BACK\\x.DAT"));
  EXPECT_EQ(ProfileReader(folder_.Path("data\\BUInfo.dat")).ReadInteger("binf101", "Next", -1), 3);
  EXPECT_EQ(shell_.calls.size(), 1u);
}

TEST_F(KeyboardTest, ArrowsOnTheBarWalkItsButtonsAndEnterClicks) {
  Start(kTopBar);
  TMainForm& bar = app().MainForm();
  const int groups = app().settings.GroupCount;
  ShowWindow(bar.hwnd(), SW_SHOW);
  SetForegroundWindow(bar.hwnd());
  wt::PumpMessagesFor(400);  // the window manager's focus comes to the bar itself
  EXPECT_EQ(GetFocus(), bar.SpeedButton1.hwnd()) << "the bar hands its focus on";
  EXPECT_TRUE(Keys("Right", [&] { return GetFocus() == group(1).hwnd(); }));
  EXPECT_TRUE(Keys("Left Left", [&] { return GetFocus() == bar.HelpBtn.hwnd(); }));
  EXPECT_TRUE(Keys("Left", [&] { return GetFocus() == group(groups).hwnd(); }));
  EXPECT_TRUE(Keys("Return", [&] { return form().Visible(); }));
  EXPECT_EQ(form().ShownGroup(), groups);

  // Scrolled: past the last shown button the bar scrolls.
  bar.SetScroll(ScrolledStart(3, groups));
  SetFocus(group(3).hwnd());
  EXPECT_TRUE(Keys("Right", [&] { return GetFocus() == group(4).hwnd(); }));
  EXPECT_EQ(bar.ScrollFirst(), 2);
  RECT r{};
  GetWindowRect(group(4).hwnd(), &r);
  EXPECT_GT(r.right - r.left, 0) << "shown";
}

// The accessible object the system hands a screen reader for a window.
struct Accessible {
  explicit Accessible(HWND hwnd) {
    AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
  }
  ~Accessible() {
    if (object) object->Release();
  }
  std::string Name() const {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (!object || FAILED(object->get_accName(self, &name)) || !name) return "<none>";
    const std::string text = win::Narrow(std::wstring(name, SysStringLen(name))).value_or("?");
    SysFreeString(name);
    return text;
  }
  long Role() const {
    VARIANT self{}, role{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (!object || FAILED(object->get_accRole(self, &role)) || role.vt != VT_I4) return -1;
    return role.lVal;
  }
  IAccessible* object = nullptr;
};

TEST_F(KeyboardTest, ScreenReadersHearTheButtonsWindowsAndGroupNames) {
  Start(kTopBar);
  SetSlot(1, 1, "表計算");
  group(1).Entry.ShowName = "仕事";
  Click(group(1).hwnd());
  ASSERT_TRUE(form().Visible());
  struct Case {
    HWND hwnd;
    std::string name;
    long role;
  };
  const Case cases[] = {
      {slot(1).hwnd(), "表計算", ROLE_SYSTEM_PUSHBUTTON},
      {slot(2).hwnd(), "未登録", ROLE_SYSTEM_PUSHBUTTON},
      {group(2).hwnd(), "未登録", ROLE_SYSTEM_PUSHBUTTON},
      {app().MainForm().HelpBtn.hwnd(), "ヘルプ", ROLE_SYSTEM_PUSHBUTTON},
      {app().MainForm().hwnd(), "Kobarune", -2},
      {form().hwnd(), "仕事", -2},
  };
  for (const Case& c : cases) {
    const Accessible object(c.hwnd);
    ASSERT_NE(object.object, nullptr) << c.name;
    EXPECT_EQ(object.Name(), c.name);
    if (c.role != -2) {
      EXPECT_EQ(object.Role(), c.role) << c.name;
    }
  }
  // A slot registered later is named at once.
  form().Buttons(2).Entry.ShowName = "メモ帳";
  form().Buttons(2).SetHint("メモ帳");
  EXPECT_EQ(Accessible(slot(2).hwnd()).Name(), "メモ帳");
}

}  // namespace
}  // namespace kb::groups_testing
