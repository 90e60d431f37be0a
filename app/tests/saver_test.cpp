// Holding the screen saver off while the pointer rests on the bar: what the
// bar asks of the system (Wine always reports the saver as active, so the
// answer comes from the seam), SYSTEM.INI's saver entry, the user's stored
// setting, and every way out giving the saver back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "groups/sub_form.h"
#include "launcher/tests/edge_fixture.h"
#include "win/text.h"

namespace kb {
namespace {

using testing::EdgeBar;
using testing::RecordingBarShell;

// SYSTEM.INI's "SCRNSAVE.EXE" set to a value of the test's, given back after.
class SaverEntry {
 public:
  SaverEntry() {
    wchar_t old[MAX_PATH] = L"";
    GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"\x1", old, MAX_PATH, L"SYSTEM.INI");
    old_ = old;
    had_ = old_ != L"\x1";
    WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", kValue, L"SYSTEM.INI");
  }
  ~SaverEntry() {
    WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", had_ ? old_.c_str() : nullptr,
                               L"SYSTEM.INI");
  }
  static std::wstring Read() {
    wchar_t value[MAX_PATH] = L"";
    GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", value, MAX_PATH, L"SYSTEM.INI");
    return value;
  }
  static constexpr wchar_t kValue[] = L"C:\\WINDOWS\\ﾃｽﾄ表示.SCR";

 private:
  bool had_ = false;
  std::wstring old_;
};

std::optional<std::wstring> StoredSaverSetting() {
  wchar_t value[32] = L"";
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveActive",
                   RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

struct SaverBar {
  explicit SaverBar(int type = kEdgeLeft)
      : s("Type=" + std::to_string(type) + "\r\nSaverPause=1\r\n", &shell) {
    shell.saverCalls.clear();
  }
  // One tick with the pointer at (x, y).
  void TickAt(int x, int y) {
    SetCursorPos(x, y);
    s.bar().Timer2Timer();
  }
  bool Asked(UINT action, UINT param) const {
    for (const auto& c : shell.saverCalls) {
      if (c.action == action && c.param == param) return true;
    }
    return false;
  }
  SaverEntry entry;
  RecordingBarShell shell;
  EdgeBar s;
};

TEST(SaverHold, RestingOnTheBarHoldsTheSaverForThisSessionOnly) {
  const std::optional<std::wstring> stored = StoredSaverSetting();
  SaverBar b;
  b.TickAt(19, 300);  // strictly inside the left bar
  EXPECT_TRUE(b.s.bar().SaverSuspended);
  ASSERT_EQ(b.shell.saverCalls.size(), 2u);
  EXPECT_EQ(b.shell.saverCalls[0].action, static_cast<UINT>(SPI_GETSCREENSAVEACTIVE));
  EXPECT_EQ(b.shell.saverCalls[1].action, static_cast<UINT>(SPI_SETSCREENSAVEACTIVE));
  EXPECT_EQ(b.shell.saverCalls[1].param, static_cast<UINT>(FALSE));
  // Never written into the user's settings: a launcher that is killed now
  // does not leave the saver off for good.
  EXPECT_EQ(b.shell.saverCalls[1].winIni & SPIF_UPDATEINIFILE, 0u);
  EXPECT_EQ(StoredSaverSetting(), stored);
  EXPECT_EQ(win::Widen(b.s.bar().SavedSaver), SaverEntry::kValue);

  b.TickAt(19, 400);  // still there: nothing more
  b.TickAt(0, 300);   // the border keeps the hold
  EXPECT_EQ(b.shell.saverCalls.size(), 2u);

  b.TickAt(500, 300);  // gone: released
  EXPECT_FALSE(b.s.bar().SaverSuspended);
  ASSERT_EQ(b.shell.saverCalls.size(), 3u);
  EXPECT_EQ(b.shell.saverCalls[2].action, static_cast<UINT>(SPI_SETSCREENSAVEACTIVE));
  EXPECT_EQ(b.shell.saverCalls[2].param, static_cast<UINT>(TRUE));
  EXPECT_EQ(b.shell.saverCalls[2].winIni & SPIF_UPDATEINIFILE, 0u);
  EXPECT_EQ(SaverEntry::Read(), SaverEntry::kValue);
  EXPECT_EQ(StoredSaverSetting(), stored);
}

TEST(SaverHold, ASaverThatIsOffStaysAlone) {
  SaverBar b;
  b.shell.saverActive = false;
  b.TickAt(19, 300);
  EXPECT_FALSE(b.s.bar().SaverSuspended);
  ASSERT_EQ(b.shell.saverCalls.size(), 1u);
  EXPECT_EQ(b.shell.saverCalls[0].action, static_cast<UINT>(SPI_GETSCREENSAVEACTIVE));
  b.TickAt(500, 300);
  EXPECT_EQ(b.shell.saverCalls.size(), 1u);
}

TEST(SaverHold, NoHoldOnTheScreensOutermostRowOrWithTheGroupWindowOpen) {
  SaverBar top(kEdgeTop);
  top.TickAt(500, 0);
  EXPECT_TRUE(top.shell.saverCalls.empty());
  top.s.app->SubForm().ShowGroup(1);
  top.s.app->SubForm().ShowBeside(kButtonPitch, 0);
  top.TickAt(500, 20);
  EXPECT_TRUE(top.shell.saverCalls.empty());
  top.s.app->SubForm().HideWindow();
  top.TickAt(500, 20);
  EXPECT_EQ(top.shell.saverCalls.size(), 2u);
}

TEST(SaverHold, EveryWayOutGivesTheSaverBack) {
  struct Way {
    const char* name;
    void (*leave)(SaverBar&);
  };
  const Way ways[] = {
      {"close", [](SaverBar& b) { b.s.app->Close(); }},
      {"end of the session",
       [](SaverBar& b) { SendMessageW(b.s.bar().hwnd(), WM_ENDSESSION, TRUE, 0); }},
      {"window destroyed", [](SaverBar& b) { b.s.app.reset(); }},
      {"SaverPause switched off",
       [](SaverBar& b) {
         b.s.app->settings.SaverPause = false;
         b.s.bar().Timer2Timer();
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    SaverBar b;
    b.TickAt(19, 300);
    ASSERT_EQ(b.shell.saverCalls.size(), 2u);
    way.leave(b);
    ASSERT_EQ(b.shell.saverCalls.size(), 3u);
    EXPECT_EQ(b.shell.saverCalls[2].action, static_cast<UINT>(SPI_SETSCREENSAVEACTIVE));
    EXPECT_EQ(b.shell.saverCalls[2].param, static_cast<UINT>(TRUE));
    EXPECT_EQ(SaverEntry::Read(), SaverEntry::kValue);
  }
}

TEST(SaverHold, AChangedSaverEntryIsWrittenBackAndAMissingOneIsNotMade) {
  {
    SaverBar b;
    b.TickAt(19, 300);
    WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", L"SYSTEM.INI");
    b.TickAt(500, 300);
    EXPECT_EQ(SaverEntry::Read(), SaverEntry::kValue);
  }
  SaverEntry restoreAfter;
  WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", nullptr, L"SYSTEM.INI");
  RecordingBarShell shell;
  EdgeBar s("Type=1\r\nSaverPause=1\r\n", &shell);
  SetCursorPos(19, 300);
  s.bar().Timer2Timer();
  SetCursorPos(500, 300);
  s.bar().Timer2Timer();
  wchar_t value[8] = L"";
  EXPECT_EQ(GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"missing", value, 8,
                                     L"SYSTEM.INI"),
            7u);
}

}  // namespace
}  // namespace kb
