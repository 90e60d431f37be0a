// The settings dialog in-process, with a recording stand-in for the rest of
// the launcher: its controls, filling them from the options, OK in its
// order, Cancel, help and the version page.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>

#include "settings/banner_frames.h"
#include "settings/pages_dlg.h"
#include "settings/tests/recording_actions.h"
#include "settings/tests/temp_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

using win::testing::DialogWatch;
using Calls = std::vector<std::string>;

struct DialogFixture {
  DialogFixture() {
    state.settings.GroupCount = 16;
    state.ExeDir = folder.path();
    state.screenWidth = 1024;
    state.screenHeight = 768;
  }
  TPagesDlg& Open() {  // made and filled as it is when it opens, not shown
    dialog = std::make_unique<TPagesDlg>(nullptr, state, actions);
    dialog->FormShow();
    return *dialog;
  }
  testing::TempFolder folder;
  ProgramState state;
  Settings& settings = state.settings;
  testing::RecordingActions actions{settings};
  std::unique_ptr<TPagesDlg> dialog;
};

RECT InParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST(PagesDlg, FormPagesAndControlsHaveTheirPlacesCaptionsHelpAndFont) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  EXPECT_EQ(win::testing::ReadWindowText(d.hwnd()), "Kobaruneの設定");
  RECT client;
  GetClientRect(d.hwnd(), &client);
  EXPECT_EQ(client.right * 1000 + client.bottom, 422 * 1000 + 295);
  const char* pages[] = {"Windows終了", "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳ", "ﾌｧｲﾙｳｲﾝﾄﾞｳ", "その他", "ﾊﾞｰｼﾞｮﾝ情報"};
  const DWORD pageHelp[] = {28, 7, 44, 42, 4};
  ASSERT_EQ(d.PageControl1.PageCount(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(d.PageControl1.PageCaption(i), pages[i]);
    EXPECT_EQ(GetWindowContextHelpId(d.PageControl1.Page(i).hwnd()), pageHelp[i]);
  }
  struct Place { HWND hwnd; int x, y, w, h; const char* caption; DWORD help; };
  const Place places[] = {
      {d.PageControl1.hwnd(), 5, 5, 412, 252, "", 24},
      {d.RadioGroup2.Frame(), 8, 16, 385, 161, "終了方法の設定", 30},
      {d.RadioGroup2.Item(1), -1, -1, -1, -1, "シャットダウン（変更を全て保存しない）", 30},
      {d.Button1.hwnd(), 114, 184, 167, 33, "速攻終了！", 28},
      {d.RadioGroup1.Frame(), 8, 16, 265, 65, "　　　表示位置　　　", 7},
      {d.RadioGroup1.Item(3), -1, -1, -1, -1, "スクリーン右部", 7},
      {d.ResetBtn.hwnd(), 280, 22, 113, 59, "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳﾘｾｯﾄ", 7},
      {d.AutoHideCheck.hwnd(), 8, 104, -1, -1, "自動的に隠す", 7},
      {d.AlwaysTopCheck.hwnd(), 8, 128, -1, -1, "常に手前に表示", 7},
      {d.OnActiveCheck.hwnd(), 8, 152, -1, -1, "カーソルが来たらKobaruneをアクティブにする", 7},
      {d.SaverPauseCB.hwnd(), 8, 176, -1, -1, "カーソルがある時はスクリーンセーバーの起動を禁止する", 7},
      {d.FileNumLimitCheck.hwnd(), 8, 104, -1, -1, "最大表示数を制限する", 44},
      {d.SpinMaxFile.EditWindow(), 152, 101, -1, 21, "5", 44},
      {d.NotActiveHideCheck.hwnd(), 8, 128, -1, -1, "アクティブで無いとき自動的に隠す", 44},
      {d.ExecHideCheck.hwnd(), 8, 152, -1, -1, "アプリケーション起動後に自動的に隠す", 44},
      {d.AfterExecBUCheck.hwnd(), 8, 192, -1, -1, "バックアップはアプリケーション起動後に実行する", 44},
      {d.RadioOnTheBar.Frame(), 8, 16, 281, 41, "タスクバーに表示", 42},
      {d.RadioOnTheBar.Item(1), -1, -1, -1, -1, "表示しない", 42},
      {d.CheckStartUp.hwnd(), 8, 104, -1, -1, "Windowsの起動時に自動実行させる", 42},
      {d.Panel3.hwnd(), 16, 11, 369, 174, "", 4},
      {d.PaintBox1.hwnd(), 8, 5, 350, 80, "", 4},
      {d.ProgramIcon.hwnd(), 32, 88, 33, 33, "", 4},
      {d.Version.hwnd(), 128, 87, -1, -1, "Version 2.00β", 4},
      {d.BitBtn1.hwnd(), 8, 264, 161, 25, "Kobaruneの終了(&C)", 12},
      {d.OKBtn.hwnd(), 184, 264, 74, 24, "OK", 0},
      {d.CancelBtn.hwnd(), 263, 264, 74, 24, "ｷｬﾝｾﾙ", 0},
      {d.HelpBtn.hwnd(), 342, 264, 73, 24, "ﾍﾙﾌﾟ(&H)", 0},
  };
  for (const Place& p : places) {
    const RECT r = InParent(p.hwnd);
    const int found[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    const int wanted[] = {p.x, p.y, p.w, p.h};
    for (int i = 0; i < 4; ++i) {
      if (wanted[i] >= 0) {
        EXPECT_EQ(found[i], wanted[i]) << p.caption << " #" << i;
      }
    }
    EXPECT_EQ(win::testing::ReadWindowText(p.hwnd), p.caption);
    EXPECT_EQ(GetWindowContextHelpId(p.hwnd), p.help) << p.caption;
  }
  EXPECT_EQ(InParent(d.SpinMaxFile.Arrows()).right, 193);  // the arrows end the 41 pixels
  EXPECT_EQ(d.BitBtn1.ImageCount(), 2);
  for (HWND control : {d.RadioGroup2.Item(1), d.AutoHideCheck.hwnd(), d.OKBtn.hwnd(),
                       d.SpinMaxFile.EditWindow(), d.Label1.hwnd()}) {
    const LOGFONTW font = FontOf(control);
    EXPECT_EQ(win::Narrow(font.lfFaceName).value_or(""), "ＭＳ Ｐゴシック");
    EXPECT_EQ(std::abs(font.lfHeight), 12);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  }
  EXPECT_EQ(FontOf(d.Version.hwnd()).lfWeight, FW_BOLD);
  EXPECT_EQ(std::abs(FontOf(d.Version.hwnd()).lfHeight), 19);
}

TEST(PagesDlg, EveryControlShowsItsOptionAndNothingElseDoes) {
  using Set = void (*)(ProgramState&);
  using Shown = bool (*)(TPagesDlg&);
  const std::pair<Set, Shown> cases[] = {
      {[](ProgramState& s) { s.settings.Type = 3; }, [](TPagesDlg& d) { return d.RadioGroup1.ItemIndex() == 3; }},
      {[](ProgramState& s) { s.ExitMethod = 2; }, [](TPagesDlg& d) { return d.RadioGroup2.ItemIndex() == 2; }},
      {[](ProgramState& s) { s.settings.AutoHide = true; }, [](TPagesDlg& d) { return d.AutoHideCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.ExecHide = true; }, [](TPagesDlg& d) { return d.ExecHideCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.StayonTop = true; }, [](TPagesDlg& d) { return d.AlwaysTopCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.SaverPause = true; }, [](TPagesDlg& d) { return d.SaverPauseCB.Checked(); }},
      {[](ProgramState& s) { s.settings.NotActiveHide = true; }, [](TPagesDlg& d) { return d.NotActiveHideCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.MouseOnActive = true; }, [](TPagesDlg& d) { return d.OnActiveCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.TMaxFileNum = 30; }, [](TPagesDlg& d) { return d.SpinMaxFile.Value() == 30; }},
      {[](ProgramState& s) { s.settings.MaxFileLimit = true; }, [](TPagesDlg& d) { return d.FileNumLimitCheck.Checked() && d.SpinMaxFile.Enabled(); }},
      {[](ProgramState& s) { s.settings.LateBU = true; }, [](TPagesDlg& d) { return d.AfterExecBUCheck.Checked(); }},
      {[](ProgramState& s) { s.settings.OnTray = 1; }, [](TPagesDlg& d) { return d.RadioOnTheBar.ItemIndex() == 1; }},
      {[](ProgramState& s) { s.settings.StartUp = true; }, [](TPagesDlg& d) { return d.CheckStartUp.Checked(); }},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    DialogFixture f;
    EXPECT_FALSE(cases[i].second(f.Open())) << i << " shown without being set";
    cases[i].first(f.state);
    EXPECT_TRUE(cases[i].second(f.Open())) << i;
  }
}

TEST(PagesDlg, SpinEditIsEnabledExactlyWhileItsBoxIsCheckedAndKeepsOneToForty) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  EXPECT_FALSE(d.SpinMaxFile.Enabled());
  EXPECT_FALSE(IsWindowEnabled(d.SpinMaxFile.Arrows()));
  SendMessageW(d.FileNumLimitCheck.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(d.SpinMaxFile.Enabled() && IsWindowEnabled(d.SpinMaxFile.Arrows()));
  SendMessageW(d.FileNumLimitCheck.hwnd(), BM_CLICK, 0, 0);
  EXPECT_FALSE(d.SpinMaxFile.Enabled());
  int low = 0, high = 0;
  SendMessageW(d.SpinMaxFile.Arrows(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
               reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low * 100 + high, 1 * 100 + 40);
  SetWindowTextW(d.SpinMaxFile.EditWindow(), L"99");
  EXPECT_EQ(d.SpinMaxFile.Value(), 40);
  SetWindowTextW(d.SpinMaxFile.EditWindow(), L"0");
  d.SpinMaxFile.FieldLeft();
  EXPECT_EQ(win::testing::ReadWindowText(d.SpinMaxFile.EditWindow()), "1");
}

TEST(PagesDlg, OkRunsItsStepsInOrderSeeingTheOptionsOfEachMoment) {
  DialogFixture f;
  f.settings.AutoHide = true;
  TPagesDlg& d = f.Open();
  d.AutoHideCheck.SetChecked(false);
  d.AlwaysTopCheck.SetChecked(true);
  d.FileNumLimitCheck.SetChecked(true);
  d.SpinMaxFile.SetValue(30);
  d.RadioOnTheBar.SetItemIndex(1);
  d.CheckStartUp.SetChecked(true);
  d.RadioGroup2.SetItemIndex(3);
  d.OKBtnClick();
  const Calls expected = {"WithdrawEdge autoHide=1",  // as registered before this OK
                          "HideGroupWindow",          "RenewEdge autoHide=0 top=1",
                          "PlaceGroupWindow limit=1 num=30", "ArrangeExecButtons",
                          "SetStartWithWindows 1",    "ApplyTaskbarButton onTray=1"};
  EXPECT_EQ(f.actions.calls, expected);
  EXPECT_EQ(f.state.ExitMethod, 3);
  EXPECT_EQ(f.settings.ListCount, 30);
}

TEST(PagesDlg, NewEdgeAsksFirstAndTheRunValueAndTaskbarFollowEvenForARestart) {
  for (bool confirmed : {true, false}) {
    DialogFixture f;
    TPagesDlg& d = f.Open();
    d.RadioGroup1.SetItemIndex(2);
    DialogWatch notice("情報", [confirmed](HWND n) {
      PostMessageW(confirmed ? GetDlgItem(n, IDOK) : n, confirmed ? BM_CLICK : WM_CLOSE, 0, 0);
    }, 5000);
    d.OKBtnClick();
    ASSERT_TRUE(notice.Fired());
    EXPECT_EQ(notice.ShownText(), "表示位置の変更のためKobaruneを再起動します。");
    Calls expected = {"WithdrawEdge autoHide=0", "HideGroupWindow"};
    if (confirmed) {
      expected.push_back("StartProgram " + f.folder.path() + "Vaulter2.exe /r");
      expected.push_back("CloseLauncher type=2");  // the close saves the new edge
    }
    expected.push_back("SetStartWithWindows 0");
    expected.push_back("ApplyTaskbarButton onTray=0");
    EXPECT_EQ(f.actions.calls, expected) << confirmed;
    EXPECT_EQ(f.settings.Type, 2);
  }
}

TEST(PagesDlg, CancelAndTheCloseBoxApplyNothingOfWhatWasEdited) {
  for (bool closeBox : {false, true}) {
    DialogFixture f;
    const Settings before = f.settings;
    DialogWatch watch("Kobaruneの設定", [closeBox](HWND dialog) {
      // The posted edits come first, then the way out.
      for (int id : {int(TPagesDlg::kAutoHideCheck), TPagesDlg::kRadioGroup2Item0 + 3}) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          if (HWND control = GetDlgItem(c, id)) PostMessageW(control, BM_CLICK, 0, 0);
        }
      }
      PostMessageW(closeBox ? dialog : GetDlgItem(dialog, IDCANCEL), closeBox ? WM_CLOSE : BM_CLICK, 0, 0);
    }, 5000);
    f.dialog = std::make_unique<TPagesDlg>(nullptr, f.state, f.actions);
    EXPECT_EQ(f.dialog->Execute(), win::mrCancel);
    EXPECT_TRUE(watch.Fired());
    EXPECT_TRUE(f.actions.calls.empty()) << closeBox;
    EXPECT_EQ(f.settings, before);
    EXPECT_EQ(f.state.ExitMethod, 0);
  }
}

TEST(PagesDlg, HelpOpensTheFilesBesideTheLauncherAtTheTopicOfTheControl) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  std::vector<HelpRequest> requests;
  d.SetHelpCall([&](HWND, const HelpRequest& r) { requests.push_back(r); });
  auto missing = win::testing::AnswerDialogLater("情報", IDOK);
  d.HelpBtnClick();
  ASSERT_TRUE(missing->Fired()) << "a missing help file is told";
  EXPECT_EQ(missing->ShownText(), MissingHelpText("Pelkan.HLP"));
  EXPECT_TRUE(requests.empty());

  f.folder.Write("Pelkan.HLP", "?_");
  f.folder.Write("Pelkan2.hlp", "?_");
  d.HelpBtnClick();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], (HelpRequest{f.folder.path() + "Pelkan.HLP", HELP_KEY, 0, {}}));
  // F1 reaches the dialog from the focused control through its parents.
  const std::pair<HWND, DWORD> topics[] = {{d.RadioGroup2.Item(2), 30}, {d.SpinMaxFile.EditWindow(), 44},
                                           {d.PaintBox1.hwnd(), 4}, {d.BitBtn1.hwnd(), 12}};
  for (const auto& [control, context] : topics) {
    requests.clear();
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, control, context, {0, 0}};
    SendMessageW(control, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(requests.size(), 1u) << context;
    EXPECT_EQ(requests[0], (HelpRequest{f.folder.path() + "Pelkan2.hlp", HELP_CONTEXT, context, {}}));
  }
}

TEST(PagesDlg, VersionPageAnimatesOnlyWhileShownAndAClickShowsTheProgramIcon) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(d.BannerPicture(), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth * 1000 + bm.bmHeight, kBannerWidth * 1000 + kBannerPictureHeight);
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_FALSE(d.Timer1.Enabled());
  auto select = [&](int page) {
    TabCtrl_SetCurSel(d.PageControl1.hwnd(), page);
    NMHDR change{d.PageControl1.hwnd(), UINT_PTR(TPagesDlg::kPageControl1), UINT(TCN_SELCHANGE)};
    SendMessageW(d.hwnd(), WM_NOTIFY, TPagesDlg::kPageControl1, reinterpret_cast<LPARAM>(&change));
  };
  select(TPagesDlg::kTabSheet3);
  EXPECT_TRUE(d.Timer1.Enabled());
  EXPECT_EQ(d.Timer1.Interval(), 1000u);
  for (int tick = 1; tick <= 7; ++tick) {
    d.Timer1Timer();
    EXPECT_EQ(d.FrameCounter(), tick % 6) << tick;
  }
  select(TPagesDlg::kTabSheet5);
  EXPECT_FALSE(d.Timer1.Enabled());
  select(TPagesDlg::kTabSheet3);
  EXPECT_EQ(d.FrameCounter(), 0);  // from the first frame again
  EXPECT_TRUE(d.Timer1.Enabled());

  EXPECT_EQ(GetWindowLongPtrW(d.ProgramIcon.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  win::testing::PostClick(d.PaintBox1.hwnd());
  win::testing::PumpMessagesFor(100);
  EXPECT_NE(GetWindowLongPtrW(d.ProgramIcon.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_NE(d.ProgramIcon.Icon(), nullptr);
}

}  // namespace
}  // namespace kb
