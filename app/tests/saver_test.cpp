// Holding the screen saver off while the pointer rests on the bar: what the
// bar asks of the system (Wine always reports the saver active, so the seam
// answers), SYSTEM.INI's saver entry, the user's stored setting, and every
// way out giving the saver back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "launcher/tests/edge_fixture.h"

namespace kb {
namespace {

using testing::EdgeBar;
using testing::RecordingBarShell;

const wchar_t kSaver[] = L"C:\\WINDOWS\\ﾃｽﾄ表示.SCR";

std::wstring SaverEntry(const wchar_t* missing = L"") {
  wchar_t value[MAX_PATH] = L"";
  GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", missing, value, MAX_PATH, L"SYSTEM.INI");
  return value;
}
void SetSaverEntry(const wchar_t* value) {
  WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", value, L"SYSTEM.INI");
}

std::optional<std::wstring> StoredSaverSetting() {
  wchar_t value[32] = L"";
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveActive",
                   RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

// A bar with SaverPause on; SYSTEM.INI's entry is the test's meanwhile.
class SaverHold : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = SaverEntry(L"\x1");
    SetSaverEntry(kSaver);
  }
  void TearDown() override {
    bar_.reset();
    SetSaverEntry(old_ == L"\x1" ? nullptr : old_.c_str());
  }
  EdgeBar& Start(int type = kEdgeLeft) {
    bar_.reset();
    bar_ = std::make_unique<EdgeBar>("Type=" + std::to_string(type) + "\r\nSaverPause=1\r\n", &shell);
    shell.saverCalls.clear();
    return *bar_;
  }
  void TickAt(int x, int y) {
    SetCursorPos(x, y);
    bar_->bar().Timer2Timer();
  }
  // The SPI_SETSCREENSAVEACTIVE calls so far: 0 off, 1 on.
  std::string Switches() const {
    std::string s;
    for (const auto& c : shell.saverCalls) {
      if (c.action != SPI_SETSCREENSAVEACTIVE) continue;
      s += c.param ? '1' : '0';
      EXPECT_EQ(c.winIni & SPIF_UPDATEINIFILE, 0u) << "for this session only";
    }
    return s;
  }
  RecordingBarShell shell;
  std::unique_ptr<EdgeBar> bar_;
  std::wstring old_;
};

TEST_F(SaverHold, RestingOnTheBarHoldsTheSaverForThisSessionOnly) {
  const std::optional<std::wstring> stored = StoredSaverSetting();
  EdgeBar& s = Start();
  TickAt(19, 300);  // strictly inside the left bar
  EXPECT_TRUE(s.bar().SaverSuspended);
  EXPECT_EQ(shell.saverCalls.front().action, static_cast<UINT>(SPI_GETSCREENSAVEACTIVE));
  EXPECT_EQ(Switches(), "0");
  // A launcher killed now would not leave the saver off in the settings.
  EXPECT_EQ(StoredSaverSetting(), stored);
  TickAt(19, 400);
  TickAt(0, 300);  // the border keeps the hold
  EXPECT_EQ(Switches(), "0");
  TickAt(500, 300);
  EXPECT_FALSE(s.bar().SaverSuspended);
  EXPECT_EQ(Switches(), "01");
  EXPECT_EQ(SaverEntry(), kSaver);
  EXPECT_EQ(StoredSaverSetting(), stored);

  shell.saverActive = false;  // a saver already off is left alone
  shell.saverCalls.clear();
  TickAt(19, 300);
  TickAt(500, 300);
  EXPECT_EQ(shell.saverCalls.size(), 1u);
  EXPECT_EQ(Switches(), "");
}

TEST_F(SaverHold, EveryWayOutGivesTheSaverBack) {
  const std::pair<const char*, void (*)(std::unique_ptr<EdgeBar>&)> ways[] = {
      {"close", [](std::unique_ptr<EdgeBar>& b) { b->app->Close(); }},
      {"end of session",
       [](std::unique_ptr<EdgeBar>& b) { SendMessageW(b->bar().hwnd(), WM_ENDSESSION, TRUE, 0); }},
      {"window destroyed", [](std::unique_ptr<EdgeBar>& b) { b.reset(); }},
      {"SaverPause off",
       [](std::unique_ptr<EdgeBar>& b) {
         b->app->settings.SaverPause = false;
         b->bar().Timer2Timer();
       }},
  };
  for (const auto& [name, leave] : ways) {
    SCOPED_TRACE(name);
    Start();
    TickAt(19, 300);
    leave(bar_);
    EXPECT_EQ(Switches(), "01");
    EXPECT_EQ(SaverEntry(), kSaver);
  }
}

TEST_F(SaverHold, AChangedEntryIsWrittenBackAndAMissingOneIsNotMade) {
  Start();
  TickAt(19, 300);
  SetSaverEntry(L"");
  TickAt(500, 300);
  EXPECT_EQ(SaverEntry(), kSaver);
  SetSaverEntry(nullptr);
  TickAt(19, 300);
  TickAt(500, 300);
  EXPECT_EQ(SaverEntry(L"missing"), L"missing");
}

}  // namespace
}  // namespace kb
