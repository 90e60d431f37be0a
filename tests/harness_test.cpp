// The ground every other test stands on: Shift-JIS literals, code page 932 at
// the Win32 boundary, and a display on which windows really appear.
#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

TEST(Harness, NarrowLiteralsAreShiftJis) {
  const std::string s = "表示名";
  ASSERT_EQ(s.size(), 6u);
  EXPECT_EQ(static_cast<unsigned char>(s[0]), 0x95);
  EXPECT_EQ(static_cast<unsigned char>(s[1]), 0x5C);  // the trail byte that looks like a backslash
  const std::string kana = "ｷｬﾝｾﾙ";
  EXPECT_EQ(kana, "\xB7\xAC\xDD\xBE\xD9");
}

#ifdef _WIN32
TEST(Harness, AnsiCodePageIs932) {
  EXPECT_EQ(GetACP(), 932u);
}

TEST(Harness, WindowAppearsOnTheTestDisplay) {
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"probe", WS_POPUP, 10, 20, 38, 200,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  RECT r{};
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 38);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 800);
  DestroyWindow(w);
}
#endif
