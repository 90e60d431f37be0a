#include "win/controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>

#include "win/glyph_button.h"
#include "win/hints.h"
#include "win/message_dlg.h"
#include "win/testing/testing.h"
#include "win/tests/test_host.h"
#include "win/text.h"
#include "win/timer.h"
#include "win/ui_font.h"

namespace kb::win::tests {
namespace {

using testing::PumpMessagesFor;
using testing::WaitUntil;

TEST(UiFont, RequestedAsPGothic12PixelShiftJis) {
  const LOGFONTW logFont = UiLogFont();
  EXPECT_EQ(logFont.lfHeight, -12);
  EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(Narrow(logFont.lfFaceName).value_or(""), "ＭＳ Ｐゴシック");
  HFONT font = UiFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font, UiFont()) << "one shared font";
  LOGFONTW made{};
  ASSERT_EQ(GetObjectW(font, sizeof made, &made), static_cast<int>(sizeof made));
  EXPECT_EQ(made.lfHeight, -12);
  EXPECT_EQ(made.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(std::wstring(made.lfFaceName), std::wstring(logFont.lfFaceName));
}

class ControlsTest : public ::testing::Test {
 protected:
  TestHost host;
};

TEST_F(ControlsTest, TextControlsKeepShiftJisAndUseTheUiFont) {
  Label label;
  Edit edit;
  CheckBox check;
  ASSERT_TRUE(label.Create(host.hwnd(), 4, 4, 80, 14, "ファイル名"));
  ASSERT_TRUE(edit.Create(host.hwnd(), 101, 90, 4, 120, 20));
  ASSERT_TRUE(check.Create(host.hwnd(), 102, 4, 30, 177, 17, "起動前バックアップを使用する"));
  EXPECT_EQ(label.Text(), "ファイル名");
  EXPECT_EQ(check.Text(), "起動前バックアップを使用する");
  edit.SetText("C:\\表示\\予定表.exe");
  EXPECT_EQ(edit.Text(), "C:\\表示\\予定表.exe");
  EXPECT_EQ(edit.Id(), 101);
  for (HWND h : {label.hwnd(), edit.hwnd(), check.hwnd()}) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), UiFont());
  }
  check.SetChecked(true);
  EXPECT_TRUE(check.Checked());
  check.SetChecked(false);
  EXPECT_FALSE(check.Checked());

  // A character Shift-JIS has no form for is refused, never stored mangled.
  SetWindowTextW(edit.hwnd(), L"caf\x00E9");
  EXPECT_THROW(edit.Text(), UnrepresentableName);
}

TEST_F(ControlsTest, LabelWithoutSizeFitsItsText) {
  Label shortLabel, longLabel;
  ASSERT_TRUE(shortLabel.Create(host.hwnd(), 24, 28, 0, 0, "表示名"));
  ASSERT_TRUE(longLabel.Create(host.hwnd(), 24, 60, 0, 0, "ｱｲｺﾝﾌｧｲﾙの指定とその他"));
  const RECT s = shortLabel.Bounds(), l = longLabel.Bounds();
  EXPECT_EQ(s.left, 24);
  EXPECT_EQ(s.right - s.left, MeasureUiText("表示名").cx);
  EXPECT_GT(s.right - s.left, 0);
  EXPECT_GT(l.right - l.left, s.right - s.left);
  EXPECT_GE(s.bottom - s.top, 10);
}

TEST_F(ControlsTest, VisibilityEnablingAndBounds) {
  Edit edit;
  ASSERT_TRUE(edit.Create(host.hwnd(), 1, 120, 24, 233, 20));
  RECT r = edit.Bounds();
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 24);
  EXPECT_EQ(r.right - r.left, 233);
  edit.SetVisible(false);
  EXPECT_FALSE(edit.Visible());
  edit.SetVisible(true);
  EXPECT_TRUE(edit.Visible());
  edit.SetEnabled(false);
  EXPECT_FALSE(edit.Enabled());
}

TEST_F(ControlsTest, ComboBoxKinds) {
  ComboBox icons, options;
  ASSERT_TRUE(icons.Create(host.hwnd(), 3, ComboBox::Kind::OwnerDrawnList, 120, 152, 57, 200, 34));
  EXPECT_EQ(icons.ItemHeight(), 34);
  // Wine adds the field's border to the selection field's height.
  EXPECT_GE(SendMessageW(icons.hwnd(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 34);
  EXPECT_TRUE(GetWindowLongPtrW(icons.hwnd(), GWL_STYLE) & CBS_OWNERDRAWFIXED);

  ASSERT_TRUE(options.Create(host.hwnd(), 5, ComboBox::Kind::DropDownEditable, 120, 200, 129, 120));
  for (const char* item : {"非表示で起動", "通常の大きさで起動", "アイコンで起動", "最大化で起動", "非ｱｸﾃｨﾌﾞ化で起動"}) {
    options.Add(item);
  }
  EXPECT_EQ(options.Count(), 5);
  EXPECT_EQ(options.SelectedIndex(), -1);
  options.SetSelectedIndex(4);
  EXPECT_EQ(options.SelectedIndex(), 4);
  EXPECT_EQ(options.Item(4), "非ｱｸﾃｨﾌﾞ化で起動");
  EXPECT_EQ(options.Text(), "非ｱｸﾃｨﾌﾞ化で起動");
  EXPECT_EQ(options.Item(5), "");
  options.Clear();
  EXPECT_EQ(options.Count(), 0);
}

TEST_F(ControlsTest, ProgressBarRangeAndPosition) {
  ProgressBar bar;
  ASSERT_TRUE(bar.Create(host.hwnd(), 9, 8, 40, 200, 16));
  bar.SetRange(0, 184);
  bar.SetPosition(92);
  EXPECT_EQ(bar.Position(), 92);
  bar.SetPosition(500);
  EXPECT_EQ(bar.Position(), 184) << "clamped to the range";
}

TEST_F(ControlsTest, RouterDispatchesByIdAndNotificationCode) {
  PushButton ok, other;
  ASSERT_TRUE(ok.Create(host.hwnd(), IDOK, 10, 10, 75, 25, "OK", true));
  ASSERT_TRUE(other.Create(host.hwnd(), 40, 90, 10, 75, 25, "参照..."));
  ControlRouter router;
  int okClicks = 0, anyCodes = 0, lastCode = -1;
  router.OnNotify(IDOK, BN_CLICKED, [&] { ++okClicks; });
  router.OnNotify(IDOK, BN_SETFOCUS, [&] { FAIL() << "wrong code routed"; });
  router.OnCommand(40, [&](int code) { ++anyCodes; lastCode = code; });
  EXPECT_TRUE(router.Dispatch(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));
  EXPECT_TRUE(router.Dispatch(WM_COMMAND, MAKEWPARAM(40, BN_DOUBLECLICKED), 0));
  EXPECT_FALSE(router.Dispatch(WM_COMMAND, MAKEWPARAM(41, BN_CLICKED), 0));
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(anyCodes, 1);
  EXPECT_EQ(lastCode, BN_DOUBLECLICKED);

  // A real click on the real button reaches the host as BN_CLICKED.
  SendMessageW(other.hwnd(), BM_CLICK, 0, 0);
  PumpMessagesFor(30);
  ASSERT_FALSE(host.commands.empty());
  EXPECT_EQ(host.commands.back(), std::make_pair(40, static_cast<int>(BN_CLICKED)));
  EXPECT_EQ(ok.Text(), "OK");
  EXPECT_TRUE(GetWindowLongPtrW(ok.hwnd(), GWL_STYLE) & BS_DEFPUSHBUTTON);

  DRAWITEMSTRUCT dis{};
  dis.CtlID = 3;
  int draws = 0;
  router.OnDrawItem(3, [&](const DRAWITEMSTRUCT& d) { draws += d.CtlID == 3; });
  EXPECT_TRUE(router.Dispatch(WM_DRAWITEM, 3, reinterpret_cast<LPARAM>(&dis)));
  dis.CtlID = 4;
  EXPECT_FALSE(router.Dispatch(WM_DRAWITEM, 4, reinterpret_cast<LPARAM>(&dis)));
  EXPECT_EQ(draws, 1);
}

TEST(BevelTest, RaisedFrameLightTopLeftDarkBottomRight) {
  Canvas c(60, 40);
  RECT all{0, 0, 60, 40};
  FillRect(c.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
  Bevel bevel;
  bevel.SetBounds(8, 8, 40, 20);
  bevel.Paint(c.dc());
  EXPECT_EQ(c.At(8, 15), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(20, 8), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(47, 15), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(20, 27), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(20, 15), GetSysColor(COLOR_BTNFACE)) << "inside is left alone";
}

// Without a common-controls-6 manifest Windows loads comctl32 5.x, which
// refuses any tool description larger than its own (up to lParam); Wine
// takes them all, so the size itself is checked here as well.
TEST(Hints, ToolDescriptionFitsEveryCommonControlsVersionAndIsTaken) {
  EXPECT_GE(HintToolInfoSize(), offsetof(TTTOOLINFOW, lpszText) + sizeof(LPWSTR));
  EXPECT_LE(HintToolInfoSize(), offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM));
  TestHost host;
  GlyphButton button;
  ASSERT_TRUE(button.Create(host.hwnd(), 0, 0));
  EXPECT_TRUE(SetHint(button.hwnd(), "ヒント")) << "TTM_ADDTOOL took the description";
}

// The window finds its tool tip through a window property, which must be
// gone by the window's last message (the Windows 95 family never frees it).
class PropertyProbe : public TestHost {
 public:
  HWND handle = hwnd(), tip = nullptr;
  int tipProperties = -1;

 protected:
  void OnNcDestroy() override {
    tipProperties = 0;
    EnumPropsExW(handle, &Count, reinterpret_cast<LPARAM>(this));
  }
  static BOOL CALLBACK Count(HWND, LPWSTR, HANDLE data, ULONG_PTR self) {
    auto* probe = reinterpret_cast<PropertyProbe*>(self);
    if (data == probe->tip) ++probe->tipProperties;
    return TRUE;
  }
};

TEST(Hints, TopLevelWindowLeavesNoPropertyBehind) {
  PropertyProbe host;
  GlyphButton button;
  ASSERT_TRUE(button.Create(host.hwnd(), 0, 0));
  ASSERT_TRUE(SetHint(button.hwnd(), "ヒント"));
  ASSERT_NE(host.tip = HintWindowOf(host.hwnd()), nullptr);
  host.Destroy();
  EXPECT_EQ(host.tipProperties, 0);
}

TEST(Hints, OneToolTipPerTopLevelWindowWithShiftJisTexts) {
  TestHost host, otherHost;
  GlyphButton settings, scroll, elsewhere;
  ASSERT_TRUE(settings.Create(host.hwnd(), 0, 0));
  ASSERT_TRUE(scroll.Create(host.hwnd(), 40, 0));
  ASSERT_TRUE(elsewhere.Create(otherHost.hwnd(), 0, 0));
  EXPECT_EQ(HintWindowOf(host.hwnd()), nullptr);
  SetHint(settings.hwnd(), "Kobaruneの設定");
  SetHint(scroll.hwnd(), "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ");
  SetHint(elsewhere.hwnd(), "他");
  HWND tip = HintWindowOf(host.hwnd());
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(HintWindowOf(settings.hwnd()), tip) << "found from a child too";
  EXPECT_NE(HintWindowOf(otherHost.hwnd()), tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_EQ(HintOf(settings.hwnd()), "Kobaruneの設定");
  EXPECT_EQ(HintOf(scroll.hwnd()), "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ");

  // Read back with the control's own message as well, not only our helper.
  wchar_t buffer[128] = L"";
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = host.hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(settings.hwnd());
  ti.lpszText = buffer;
  SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(std::wstring(buffer), Widen("Kobaruneの設定"));

  SetHint(settings.hwnd(), "変更");
  EXPECT_EQ(HintOf(settings.hwnd()), "変更");
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2) << "changed, not added twice";
  SetHint(settings.hwnd(), "");
  EXPECT_EQ(HintOf(settings.hwnd()), "");
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EnableHints(host.hwnd(), false);
  EnableHints(host.hwnd(), true);
  EXPECT_EQ(HintOf(scroll.hwnd()), "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ");
}

TEST(TimerTest, FiresRepeatedlyAndStopsFromInsideItsCallback) {
  int fired = 0;
  Timer timer(20);
  timer.SetOnTimer([&] {
    if (++fired == 3) timer.Stop();
  });
  EXPECT_FALSE(timer.Enabled());
  timer.Start();
  EXPECT_TRUE(timer.Enabled());
  ASSERT_TRUE(WaitUntil([&] { return fired >= 3; }, 3000));
  PumpMessagesFor(150);
  EXPECT_EQ(fired, 3);
  EXPECT_FALSE(timer.Enabled());
}

TEST(TimerTest, NeverFiresWhenStoppedAndRestartsWithANewInterval) {
  int fired = 0;
  Timer timer(10, [&] { ++fired; });
  timer.Start();
  timer.Stop();
  PumpMessagesFor(100);
  EXPECT_EQ(fired, 0);
  timer.SetInterval(15);
  EXPECT_FALSE(timer.Enabled()) << "a stopped timer stays stopped";
  timer.SetEnabled(true);
  EXPECT_EQ(timer.Interval(), 15u);
  ASSERT_TRUE(WaitUntil([&] { return fired >= 2; }, 3000));
}

TEST(TimerTest, MayBeDestroyedInsideItsOwnCallback) {
  int fired = 0;
  auto* timer = new Timer(10);
  timer->SetOnTimer([&] {
    ++fired;
    delete timer;
    timer = nullptr;
  });
  timer->Start();
  ASSERT_TRUE(WaitUntil([&] { return timer == nullptr; }, 3000));
  PumpMessagesFor(80);
  EXPECT_EQ(fired, 1);
}

TEST(TimerTest, FiresInsideAModalLoop) {
  std::atomic<int> fired{0};
  std::atomic<int> seenWhileOpen{0};
  Timer timer(20, [&] { ++fired; });
  timer.Start();
  testing::DialogWatch w(
      "情報",
      [&](HWND d) {
        // Runs on the watcher thread while the dialog's own loop is running.
        for (int i = 0; i < 100 && fired < 2; ++i) Sleep(20);
        seenWhileOpen = fired.load();
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
      },
      5000);
  MessageDlg(nullptr, "x", MsgKind::Information, MsgButtons::Ok);
  timer.Stop();
  EXPECT_GE(seenWhileOpen.load(), 2);
}

}  // namespace
}  // namespace kb::win::tests
