// TIconTray under Wine: what it asks of the shell, its mouse table, its
// menus, a restarting shell, and clicks through Wine's own tray window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/icon_tray.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"
#include "win/text.h"

namespace kb {
namespace {

using win::testing::WaitUntil;

HICON AppIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }

// Passes every call on to the real shell (unless told to refuse) and keeps
// what was asked for.
struct Call {
  DWORD message;
  UINT id;
  HWND window;
  UINT flags;
  UINT callback;
  bool hasIcon;
  std::string tip;  // Shift-JIS
};

class RecordingShell : public TrayShell {
 public:
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
    calls.push_back({message, data.uID, data.hWnd, data.uFlags, data.uCallbackMessage,
                     data.hIcon != nullptr, win::Narrow(data.szTip).value_or("?")});
    if (refuse) return false;
    return TrayShell::NotifyIcon(message, data);
  }
  std::vector<Call> calls;
  bool refuse = false;
};

// Whether the shell knows the icon: a modification of an unknown icon fails.
bool ShellKnows(const TIconTray& tray) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = NOTIFYICONDATAW_V1_SIZE;
  probe.hWnd = tray.MessageWindow();
  probe.uID = tray.Identifier();
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

TEST(IconTray, EachInstanceTakesTheNextIdentifier) {
  TIconTray first, second;
  EXPECT_GE(first.Identifier(), 1u);
  EXPECT_EQ(second.Identifier(), first.Identifier() + 1);
  EXPECT_NE(first.MessageWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(first.MessageWindow()));
}

TEST(IconTray, AddModifyDeleteAsThePropertiesChange) {
  RecordingShell shell;
  auto tray = std::make_unique<TIconTray>();
  tray->SetShell(&shell);
  tray->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");  // no icon yet: nothing to show
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_FALSE(tray->Shown());

  tray->SetIcon(AppIcon());
  ASSERT_EQ(shell.calls.size(), 1u);
  const Call& add = shell.calls[0];
  EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.id, tray->Identifier());
  EXPECT_EQ(add.window, tray->MessageWindow());
  EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.callback, static_cast<UINT>(WM_USER));
  EXPECT_TRUE(add.hasIcon);
  EXPECT_EQ(add.tip, "ｸﾘｯｸでﾒﾆｭｰ表示");
  EXPECT_TRUE(tray->Shown());
  EXPECT_TRUE(ShellKnows(*tray));

  tray->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");  // unchanged: no call
  tray->SetShowHint(true);
  EXPECT_EQ(shell.calls.size(), 1u);

  tray->SetShowHint(false);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(shell.calls[1].tip, "");
  EXPECT_EQ(tray->Hint(), "ｸﾘｯｸでﾒﾆｭｰ表示");

  tray->SetIcon(nullptr);  // an empty icon removes it
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_FALSE(tray->Shown());
  EXPECT_FALSE(ShellKnows(*tray));

  tray->UpdateIcon(false);  // never shown now: no call, no error
  tray.reset();
  EXPECT_EQ(shell.calls.size(), 3u);
}

TEST(IconTray, TheTipKeepsAtMost63BytesAndWholeCharacters) {
  struct Case {
    std::string hint;
    std::string tip;
  };
  const std::string a62(62, 'a');
  const Case cases[] = {
      {std::string(70, 'x'), std::string(63, 'x')},
      {a62 + "表示", a62},                 // the 63rd byte would split "表"
      {a62.substr(1) + "表示", a62.substr(1) + "表"},  // 61 + 2 fits exactly
  };
  for (const Case& c : cases) {
    RecordingShell shell;
    TIconTray tray;
    tray.SetShell(&shell);
    tray.SetIcon(AppIcon());
    tray.SetHint(c.hint);
    EXPECT_EQ(tray.Hint(), c.tip) << c.hint;
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().tip, c.tip) << c.hint;
  }
}

TEST(IconTray, ARefusingShellRaisesRegistrationErrorAndKeepsTheState) {
  RecordingShell shell;
  TIconTray tray;
  tray.SetShell(&shell);
  shell.refuse = true;
  try {
    tray.SetIcon(AppIcon());
    FAIL() << "no error";
  } catch (const EIconTrayError& e) {
    EXPECT_STREQ(e.what(), "Registration Error");
  }
  EXPECT_FALSE(tray.Shown());

  shell.refuse = false;
  tray.UpdateIcon(true);
  EXPECT_TRUE(tray.Shown());
  shell.refuse = true;
  EXPECT_THROW(tray.SetHint("x"), EIconTrayError);
  EXPECT_TRUE(tray.Shown());
  EXPECT_THROW(tray.UpdateIcon(false), EIconTrayError);
  EXPECT_TRUE(tray.Shown());
  shell.refuse = false;
}

TEST(IconTray, LoadedShowsTheIconAndCanHideItsOwner) {
  HWND application = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1,
                                     nullptr, nullptr, nullptr, nullptr);
  HWND form = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, application,
                              nullptr, nullptr, nullptr);
  {
    TIconTray tray(form);
    tray.SetIcon(AppIcon());
    tray.UpdateIcon(false);
    tray.Loaded();
    EXPECT_TRUE(tray.Shown());
    EXPECT_TRUE(IsWindowVisible(form));

    tray.HideMainForm = true;
    tray.Loaded();
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_FALSE(IsWindowVisible(application));
  }
  DestroyWindow(form);
  DestroyWindow(application);
}

// A menu that records its pop-up into the same log as the events.
class RecordingMenu : public win::TPopupMenu {
 public:
  RecordingMenu(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  int Popup(int x, int y, HWND owner) override {
    log_.push_back("popup " + name_ + " " + std::to_string(x) + "," + std::to_string(y) +
                   (owner ? "" : " no owner"));
    return -1;
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

std::string ShiftText(TShiftState s) {
  std::string t;
  const std::pair<TShiftState, const char*> names[] = {{ssShift, "S"}, {ssAlt, "A"},
                                                       {ssCtrl, "C"},  {ssLeft, "L"},
                                                       {ssRight, "R"}, {ssMiddle, "M"},
                                                       {ssDouble, "D"}};
  for (const auto& [flag, name] : names) {
    if (s & flag) t += name;
  }
  return t.empty() ? "-" : t;
}

const char* ButtonName(TMouseButton b) {
  return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
}

// Wires every event of `tray` into `log`.
void RecordEvents(TIconTray& tray, std::vector<std::string>& log) {
  auto at = [](int x, int y) { return " " + std::to_string(x) + "," + std::to_string(y); };
  tray.OnClick = [&log] { log.push_back("click"); };
  tray.OnDblClick = [&log] { log.push_back("dblclick"); };
  tray.OnMouseDown = [&log, at](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(std::string("down ") + ButtonName(b) + " " + ShiftText(s) + at(x, y));
  };
  tray.OnMouseUp = [&log, at](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(std::string("up ") + ButtonName(b) + " " + ShiftText(s) + at(x, y));
  };
  tray.OnMouseMove = [&log, at](TShiftState s, int x, int y) {
    log.push_back("move " + ShiftText(s) + at(x, y));
  };
}

TEST(IconTray, MouseActionsBecomeEventsInTheirOrder) {
  struct Case {
    UINT action;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {WM_MOUSEMOVE, {"move S 200,300"}},
      {WM_LBUTTONDOWN, {"down L S 200,300"}},
      {WM_LBUTTONUP, {"click", "up L S 200,300", "popup left 200,300"}},
      {WM_LBUTTONDBLCLK, {"dblclick", "down L SD 200,300"}},
      {WM_RBUTTONDOWN, {"down R S 200,300"}},
      {WM_RBUTTONUP, {"up R S 200,300", "popup right 200,300"}},
      {WM_RBUTTONDBLCLK, {"down R SD 200,300"}},
      {WM_MBUTTONDOWN, {"down M S 200,300"}},
      {WM_MBUTTONUP, {"up M S 200,300"}},
      {WM_MBUTTONDBLCLK, {"down M SD 200,300"}},
      {WM_KEYDOWN, {}},
  };
  std::vector<std::string> log;
  RecordingMenu left(log, "left"), right(log, "right");
  TIconTray tray;
  RecordEvents(tray, log);
  tray.SetLBtnPopupMenu(&left);
  tray.SetRBtnPopupMenu(&right);

  SetCursorPos(200, 300);
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;  // Shift held down, as GetKeyState then reports it
  SetKeyboardState(keys);
  for (const Case& c : cases) {
    log.clear();
    SendMessageW(tray.MessageWindow(), TIconTray::kCallbackMessage, tray.Identifier(), c.action);
    EXPECT_EQ(log, c.expected) << "action " << c.action;
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);

  // Without handlers or menus nothing happens; menus that do not pop up
  // automatically are left alone.
  log.clear();
  left.AutoPopup = false;
  SendMessageW(tray.MessageWindow(), TIconTray::kCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_EQ(log, (std::vector<std::string>{"click", "up L - 200,300"}));
  TIconTray bare;
  SendMessageW(bare.MessageWindow(), TIconTray::kCallbackMessage, 0, WM_RBUTTONUP);
}

TEST(IconTray, ADestroyedMenuIsClearedFromBothButtons) {
  TIconTray tray;
  auto shared = std::make_unique<win::TPopupMenu>();
  win::TPopupMenu other;
  tray.SetLBtnPopupMenu(shared.get());
  tray.SetRBtnPopupMenu(shared.get());
  shared.reset();
  EXPECT_EQ(tray.LBtnPopupMenu(), nullptr);
  EXPECT_EQ(tray.RBtnPopupMenu(), nullptr);

  // A menu replaced on one button still reaches the other.
  auto menu = std::make_unique<win::TPopupMenu>();
  tray.SetLBtnPopupMenu(menu.get());
  tray.SetRBtnPopupMenu(menu.get());
  tray.SetLBtnPopupMenu(&other);
  menu.reset();
  EXPECT_EQ(tray.LBtnPopupMenu(), &other);
  EXPECT_EQ(tray.RBtnPopupMenu(), nullptr);
}

TEST(IconTray, ARestartedShellGetsTheIconAgain) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  RecordingShell notReady;  // outlives the trays that use it
  TIconTray shown, hidden, early;
  int told = 0;
  shown.OnTaskbarCreated = [&told] { ++told; };
  hidden.OnTaskbarCreated = [&told] { told += 100; };
  shown.SetIcon(AppIcon());
  // One refused by a shell that was not ready yet.
  notReady.refuse = true;
  early.SetShell(&notReady);
  EXPECT_THROW(early.SetIcon(AppIcon()), EIconTrayError);
  notReady.refuse = false;
  ASSERT_TRUE(ShellKnows(shown));

  // A new shell knows none of the old icons.
  NOTIFYICONDATAW gone{};
  gone.cbSize = NOTIFYICONDATAW_V1_SIZE;
  gone.hWnd = shown.MessageWindow();
  gone.uID = shown.Identifier();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
  ASSERT_FALSE(ShellKnows(shown));

  SendNotifyMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return told > 0; }, 5000));
  EXPECT_EQ(told, 1);  // the hidden one stays hidden
  EXPECT_TRUE(ShellKnows(shown));
  EXPECT_TRUE(shown.Shown());
  EXPECT_FALSE(hidden.Shown());
  EXPECT_TRUE(WaitUntil([&] { return early.Shown(); }, 5000));
  EXPECT_TRUE(ShellKnows(early));
  ASSERT_FALSE(notReady.calls.empty());
  EXPECT_EQ(notReady.calls.back().message, static_cast<DWORD>(NIM_ADD));
}

}  // namespace
}  // namespace kb
