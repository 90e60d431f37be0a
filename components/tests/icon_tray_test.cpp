// TIconTray under Wine: what it asks of the shell, its mouse table, its
// menus and a restarting shell.  Real clicks: app/tests/app_tray_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/icon_tray.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

HICON AppIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }

// Passes every call on to the real shell unless told to refuse.
class RecordingShell : public TrayShell {
 public:
  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
    std::string tip;
  };
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
    calls.push_back({message, data, win::Narrow(data.szTip).value_or("?")});
    return !refuse && TrayShell::NotifyIcon(message, data);
  }
  std::vector<Call> calls;
  bool refuse = false;
};

// A modification of an icon the shell does not know fails.
bool ShellKnows(const TIconTray& tray) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = NOTIFYICONDATAW_V1_SIZE;
  probe.hWnd = tray.MessageWindow();
  probe.uID = tray.Identifier();
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

TEST(IconTray, AddModifyDeleteAsThePropertiesChange) {
  RecordingShell shell;
  auto tray = std::make_unique<TIconTray>();
  TIconTray next;
  EXPECT_EQ(next.Identifier(), tray->Identifier() + 1);
  tray->SetShell(&shell);
  tray->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");  // no icon yet: nothing to show
  EXPECT_TRUE(shell.calls.empty());

  tray->SetIcon(AppIcon());
  ASSERT_EQ(shell.calls.size(), 1u);
  const NOTIFYICONDATAW& add = shell.calls[0].data;
  EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.uID, tray->Identifier());
  EXPECT_EQ(add.hWnd, tray->MessageWindow());
  EXPECT_EQ(add.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.uCallbackMessage, static_cast<UINT>(WM_USER));
  EXPECT_NE(add.hIcon, nullptr);
  EXPECT_EQ(shell.calls[0].tip, "ｸﾘｯｸでﾒﾆｭｰ表示");
  EXPECT_TRUE(ShellKnows(*tray));

  tray->SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");  // unchanged: no call
  tray->SetShowHint(false);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(shell.calls[1].tip, "");
  EXPECT_EQ(tray->Hint(), "ｸﾘｯｸでﾒﾆｭｰ表示");
  tray->SetShowHint(true);

  // At most 63 bytes, and never half a double-byte character.
  const std::string a62(62, 'a');
  const std::pair<std::string, std::string> cuts[] = {{std::string(70, 'x'), std::string(63, 'x')},
                                                      {a62 + "表示", a62},
                                                      {a62.substr(1) + "表示", a62.substr(1) + "表"}};
  for (const auto& [hint, tip] : cuts) {
    tray->SetHint(hint);
    EXPECT_EQ(tray->Hint(), tip);
    EXPECT_EQ(shell.calls.back().tip, tip);
  }

  const size_t before = shell.calls.size();
  tray->SetIcon(nullptr);  // an empty icon removes it
  ASSERT_EQ(shell.calls.size(), before + 1);
  EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_FALSE(tray->Shown());
  EXPECT_FALSE(ShellKnows(*tray));
  tray.reset();  // never shown now: no call
  EXPECT_EQ(shell.calls.size(), before + 1);
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
  shell.refuse = true;
  EXPECT_THROW(tray.UpdateIcon(false), EIconTrayError);
  EXPECT_TRUE(tray.Shown());
  shell.refuse = false;
}

// A menu that logs its pop-up among the events.
class LoggingMenu : public win::TPopupMenu {
 public:
  LoggingMenu(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  int Popup(int x, int y, HWND owner) override {
    log_.push_back("popup " + name_ + " " + std::to_string(x) + "," + std::to_string(y) +
                   (owner ? "" : " unowned"));
    return -1;
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(IconTray, MouseActionsBecomeEventsInTheirOrder) {
  const std::pair<UINT, std::vector<std::string>> cases[] = {
      {WM_MOUSEMOVE, {"move S"}},
      {WM_LBUTTONDOWN, {"down L S"}},
      {WM_LBUTTONUP, {"click", "up L S", "popup left 200,300"}},
      {WM_LBUTTONDBLCLK, {"dblclick", "down L SD"}},
      {WM_RBUTTONDOWN, {"down R S"}},
      {WM_RBUTTONUP, {"up R S", "popup right 200,300"}},
      {WM_RBUTTONDBLCLK, {"down R SD"}},
      {WM_MBUTTONDOWN, {"down M S"}},
      {WM_MBUTTONUP, {"up M S"}},
      {WM_MBUTTONDBLCLK, {"down M SD"}},
      {WM_KEYDOWN, {}},
  };
  std::vector<std::string> log;
  auto name = [](const char* what, TMouseButton b, TShiftState s, int x, int y) {
    std::string n = std::string(what) + " " + "LRM"[static_cast<int>(b)] + " ";
    if (s & ssShift) n += "S";
    if (s & ssDouble) n += "D";
    return x == 200 && y == 300 ? n : n + " elsewhere";
  };
  LoggingMenu left(log, "left"), right(log, "right");
  TIconTray tray;
  tray.OnClick = [&] { log.push_back("click"); };
  tray.OnDblClick = [&] { log.push_back("dblclick"); };
  tray.OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(name("down", b, s, x, y));
  };
  tray.OnMouseUp = [&](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(name("up", b, s, x, y));
  };
  tray.OnMouseMove = [&](TShiftState s, int x, int y) {
    log.push_back(std::string("move ") + (s & ssShift ? "S" : "") + (x == 200 && y == 300 ? "" : "?"));
  };
  tray.SetLBtnPopupMenu(&left);
  tray.SetRBtnPopupMenu(&right);

  SetCursorPos(200, 300);
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;  // Shift held down, as GetKeyState then reports it
  SetKeyboardState(keys);
  for (const auto& [action, expected] : cases) {
    log.clear();
    SendMessageW(tray.MessageWindow(), TIconTray::kCallbackMessage, tray.Identifier(), action);
    EXPECT_EQ(log, expected) << "action " << action;
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);

  log.clear();
  left.AutoPopup = false;  // such a menu is left alone
  SendMessageW(tray.MessageWindow(), TIconTray::kCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_EQ(log, (std::vector<std::string>{"click", "up L "}));
}

TEST(IconTray, ADestroyedMenuIsClearedFromBothButtons) {
  TIconTray tray;
  win::TPopupMenu other;
  auto shared = std::make_unique<win::TPopupMenu>();
  tray.SetLBtnPopupMenu(shared.get());
  tray.SetRBtnPopupMenu(shared.get());
  tray.SetLBtnPopupMenu(&other);  // replaced on one button, still on the other
  shared.reset();
  EXPECT_EQ(tray.LBtnPopupMenu(), &other);
  EXPECT_EQ(tray.RBtnPopupMenu(), nullptr);
}

TEST(IconTray, ANewShellGetsTheIconAgain) {
  RecordingShell notReady;  // outlives the trays that use it
  TIconTray shown, hidden, early;
  int told = 0;
  shown.OnTaskbarCreated = [&] { ++told; };
  hidden.OnTaskbarCreated = [&] { told += 100; };
  shown.SetIcon(AppIcon());
  // One the shell refused while it was starting.
  notReady.refuse = true;
  early.SetShell(&notReady);
  EXPECT_THROW(early.SetIcon(AppIcon()), EIconTrayError);
  notReady.refuse = false;
  // A new shell knows none of the old icons.
  NOTIFYICONDATAW gone{};
  gone.cbSize = NOTIFYICONDATAW_V1_SIZE;
  gone.hWnd = shown.MessageWindow();
  gone.uID = shown.Identifier();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));

  SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(win::testing::WaitUntil([&] { return told > 0 && early.Shown(); }, 5000));
  EXPECT_EQ(told, 1);  // the hidden one stays hidden
  EXPECT_TRUE(ShellKnows(shown));
  EXPECT_TRUE(ShellKnows(early));
  EXPECT_FALSE(hidden.Shown());
}

}  // namespace
}  // namespace kb
