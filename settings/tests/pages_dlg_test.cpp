// The settings dialog in-process, with a recording stand-in for the rest of
// the launcher: its pages and controls, filling them from the options, OK in
// its order, the restart notice, the exit tool, the reset, help and the
// version page.
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

using testing::RecordingActions;
using testing::TempFolder;
using win::testing::AnswerDialogLater;
using win::testing::DialogWatch;

const std::string kDialogCaption = "Kobaruneの設定";

struct DialogFixture {
  DialogFixture() {
    state.settings.GroupCount = 16;
    state.ExeDir = folder.path();
    state.screenWidth = 1024;
    state.screenHeight = 768;
  }
  // A dialog made (hidden) and filled as it is when it opens.
  TPagesDlg& Open() {
    dialog = std::make_unique<TPagesDlg>(nullptr, state, actions);
    dialog->FormShow();
    return *dialog;
  }
  int Execute() {
    dialog = std::make_unique<TPagesDlg>(nullptr, state, actions);
    return dialog->Execute();
  }
  TempFolder folder;
  ProgramState state;
  Settings& settings = state.settings;
  uint8_t& exitMethod = state.ExitMethod;
  RecordingActions actions{settings};
  std::unique_ptr<TPagesDlg> dialog;
};

RECT InParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string TextOf(HWND hwnd) { return win::testing::ReadWindowText(hwnd); }

TEST(PagesDlg, FormHasItsCaptionSizeAndPagesInTabOrder) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  EXPECT_EQ(TextOf(d.hwnd()), kDialogCaption);
  RECT client;
  GetClientRect(d.hwnd(), &client);
  EXPECT_EQ(client.right, 422);
  EXPECT_EQ(client.bottom, 295);
  const char* captions[] = {"Windows終了", "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳ", "ﾌｧｲﾙｳｲﾝﾄﾞｳ", "その他", "ﾊﾞｰｼﾞｮﾝ情報"};
  const DWORD pageHelp[] = {28, 7, 44, 42, 4};
  ASSERT_EQ(d.PageControl1.PageCount(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(d.PageControl1.PageCaption(i), captions[i]);
    EXPECT_EQ(GetWindowContextHelpId(d.PageControl1.Page(i).hwnd()), pageHelp[i]);
  }
  EXPECT_EQ(GetWindowContextHelpId(d.PageControl1.hwnd()), 24u);
  // The page control fills the space above the button row, 5 pixels in.
  const RECT pages = InParent(d.PageControl1.hwnd());
  EXPECT_EQ(pages.left, 5);
  EXPECT_EQ(pages.top, 5);
  EXPECT_EQ(pages.right, 417);
  EXPECT_EQ(pages.bottom, 257);
}

TEST(PagesDlg, ControlsSitAtTheirPlacesWithTheirCaptionsHelpAndFont) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  struct Place { HWND hwnd; int x, y, w, h; const char* caption; DWORD help; };
  const Place places[] = {
      {d.RadioGroup2.Frame(), 8, 16, 385, 161, "終了方法の設定", 30},
      {d.Button1.hwnd(), 114, 184, 167, 33, "速攻終了！", 28},
      {d.RadioGroup1.Frame(), 8, 16, 265, 65, "　　　表示位置　　　", 7},
      {d.ResetBtn.hwnd(), 280, 22, 113, 59, "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳﾘｾｯﾄ", 7},
      {d.AutoHideCheck.hwnd(), 8, 104, -1, -1, "自動的に隠す", 7},
      {d.AlwaysTopCheck.hwnd(), 8, 128, -1, -1, "常に手前に表示", 7},
      {d.OnActiveCheck.hwnd(), 8, 152, -1, -1, "カーソルが来たらKobaruneをアクティブにする", 7},
      {d.SaverPauseCB.hwnd(), 8, 176, -1, -1, "カーソルがある時はスクリーンセーバーの起動を禁止する", 7},
      {d.FileNumLimitCheck.hwnd(), 8, 104, -1, -1, "最大表示数を制限する", 44},
      {d.NotActiveHideCheck.hwnd(), 8, 128, -1, -1, "アクティブで無いとき自動的に隠す", 44},
      {d.ExecHideCheck.hwnd(), 8, 152, -1, -1, "アプリケーション起動後に自動的に隠す", 44},
      {d.AfterExecBUCheck.hwnd(), 8, 192, -1, -1, "バックアップはアプリケーション起動後に実行する", 44},
      {d.RadioOnTheBar.Frame(), 8, 16, 281, 41, "タスクバーに表示", 42},
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
    EXPECT_EQ(r.left, p.x) << p.caption;
    EXPECT_EQ(r.top, p.y) << p.caption;
    if (p.w >= 0) {
      EXPECT_EQ(r.right - r.left, p.w) << p.caption;
    }
    if (p.h >= 0) {
      EXPECT_EQ(r.bottom - r.top, p.h) << p.caption;
    }
    if (p.hwnd != d.BitBtn1.hwnd()) {
      EXPECT_EQ(TextOf(p.hwnd), p.caption);
    }
    EXPECT_EQ(GetWindowContextHelpId(p.hwnd), p.help) << p.caption;
  }
  EXPECT_EQ(d.BitBtn1.Caption(), "Kobaruneの終了(&C)");
  EXPECT_EQ(d.BitBtn1.ImageCount(), 2);
  // The spin edit, arrows included, fills its 41 x 21 at (152, 101).
  const RECT field = InParent(d.SpinMaxFile.EditWindow());
  const RECT arrows = InParent(d.SpinMaxFile.Arrows());
  EXPECT_EQ(field.left, 152);
  EXPECT_EQ(field.top, 101);
  EXPECT_EQ(arrows.right, 193);
  EXPECT_EQ(field.bottom - field.top, 21);
  // Every text control speaks the dialog's font; the version line is bold.
  for (HWND control : {d.RadioGroup2.Item(1), d.AutoHideCheck.hwnd(), d.OKBtn.hwnd(),
                       d.SpinMaxFile.EditWindow(), d.Label1.hwnd()}) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(win::Narrow(font.lfFaceName).value_or(""), "ＭＳ Ｐゴシック");
    EXPECT_EQ(std::abs(font.lfHeight), 12);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  }
  LOGFONTW bold{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(d.Version.hwnd(), WM_GETFONT, 0, 0)), sizeof bold, &bold);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  EXPECT_EQ(std::abs(bold.lfHeight), 19);
}

TEST(PagesDlg, RadioGroupsHoldTheirItemsInColumns) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  const std::vector<std::string> exits = {"シャットダウン", "シャットダウン（変更を全て保存しない）",
                                          "Windows再起動", "リブート"};
  const std::vector<std::string> edges = {"スクリーン上部", "スクリーン左部", "スクリーン下部",
                                          "スクリーン右部"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TextOf(d.RadioGroup2.Item(i)), exits[static_cast<size_t>(i)]);
    EXPECT_EQ(TextOf(d.RadioGroup1.Item(i)), edges[static_cast<size_t>(i)]);
  }
  EXPECT_EQ(TextOf(d.RadioOnTheBar.Item(0)), "表示する");
  EXPECT_EQ(TextOf(d.RadioOnTheBar.Item(1)), "表示しない");
  // One column: all at one left edge, top to bottom.  Two columns: items 0
  // and 1 on the left, 2 and 3 on the right.
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(InParent(d.RadioGroup2.Item(i)).left, InParent(d.RadioGroup2.Item(0)).left);
    EXPECT_GT(InParent(d.RadioGroup2.Item(i)).top, InParent(d.RadioGroup2.Item(i - 1)).top);
  }
  EXPECT_EQ(InParent(d.RadioGroup1.Item(1)).left, InParent(d.RadioGroup1.Item(0)).left);
  EXPECT_GT(InParent(d.RadioGroup1.Item(2)).left, InParent(d.RadioGroup1.Item(0)).left);
  EXPECT_EQ(InParent(d.RadioGroup1.Item(2)).top, InParent(d.RadioGroup1.Item(0)).top);
  EXPECT_GT(InParent(d.RadioOnTheBar.Item(1)).left, InParent(d.RadioOnTheBar.Item(0)).left);
}

// Each option shown by its control: a table of one change each.
TEST(PagesDlg, EveryControlShowsItsOption) {
  struct Case {
    const char* name;
    void (*set)(Settings&, uint8_t&);
    bool (*shown)(TPagesDlg&);
  };
  const Case cases[] = {
      {"Type", [](Settings& s, uint8_t&) { s.Type = 3; }, [](TPagesDlg& d) { return d.RadioGroup1.ItemIndex() == 3; }},
      {"Type0", [](Settings& s, uint8_t&) { s.Type = 0; }, [](TPagesDlg& d) { return d.RadioGroup1.ItemIndex() == 0; }},
      {"ExitMethod", [](Settings&, uint8_t& m) { m = 2; }, [](TPagesDlg& d) { return d.RadioGroup2.ItemIndex() == 2; }},
      {"AutoHide", [](Settings& s, uint8_t&) { s.AutoHide = true; }, [](TPagesDlg& d) { return d.AutoHideCheck.Checked(); }},
      {"ExecHide", [](Settings& s, uint8_t&) { s.ExecHide = true; }, [](TPagesDlg& d) { return d.ExecHideCheck.Checked(); }},
      {"StayonTop", [](Settings& s, uint8_t&) { s.StayonTop = true; }, [](TPagesDlg& d) { return d.AlwaysTopCheck.Checked(); }},
      {"SaverPause", [](Settings& s, uint8_t&) { s.SaverPause = true; }, [](TPagesDlg& d) { return d.SaverPauseCB.Checked(); }},
      {"NotActiveHide", [](Settings& s, uint8_t&) { s.NotActiveHide = true; }, [](TPagesDlg& d) { return d.NotActiveHideCheck.Checked(); }},
      {"MouseOnActive", [](Settings& s, uint8_t&) { s.MouseOnActive = true; }, [](TPagesDlg& d) { return d.OnActiveCheck.Checked(); }},
      {"TMaxFileNum", [](Settings& s, uint8_t&) { s.TMaxFileNum = 30; }, [](TPagesDlg& d) { return d.SpinMaxFile.Value() == 30; }},
      {"MaxFileLimit", [](Settings& s, uint8_t&) { s.MaxFileLimit = true; }, [](TPagesDlg& d) { return d.FileNumLimitCheck.Checked() && d.SpinMaxFile.Enabled(); }},
      {"LateBU", [](Settings& s, uint8_t&) { s.LateBU = true; }, [](TPagesDlg& d) { return d.AfterExecBUCheck.Checked(); }},
      {"OnTray", [](Settings& s, uint8_t&) { s.OnTray = 1; }, [](TPagesDlg& d) { return d.RadioOnTheBar.ItemIndex() == 1; }},
      {"StartUp", [](Settings& s, uint8_t&) { s.StartUp = true; }, [](TPagesDlg& d) { return d.CheckStartUp.Checked(); }},
  };
  for (const Case& c : cases) {
    DialogFixture f;
    TPagesDlg& plain = f.Open();
    EXPECT_FALSE(c.shown(plain)) << c.name << " shown without being set";
    c.set(f.settings, f.exitMethod);
    EXPECT_TRUE(c.shown(f.Open())) << c.name;
  }
}

TEST(PagesDlg, SpinEditIsEnabledExactlyWhileItsBoxIsCheckedAndKeepsItsRange) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  EXPECT_FALSE(d.SpinMaxFile.Enabled());
  EXPECT_FALSE(IsWindowEnabled(d.SpinMaxFile.Arrows()));
  EXPECT_EQ(d.SpinMaxFile.Value(), 5);
  SendMessageW(d.FileNumLimitCheck.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(d.SpinMaxFile.Enabled());
  EXPECT_TRUE(IsWindowEnabled(d.SpinMaxFile.Arrows()));
  SendMessageW(d.FileNumLimitCheck.hwnd(), BM_CLICK, 0, 0);
  EXPECT_FALSE(d.SpinMaxFile.Enabled());
  // The arrows stop at the ends of 1 … 40.
  int low = 0, high = 0;
  SendMessageW(d.SpinMaxFile.Arrows(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
               reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 40);
  // Typed numbers outside are taken as the nearest end, also on leaving.
  SetWindowTextW(d.SpinMaxFile.EditWindow(), L"99");
  EXPECT_EQ(d.SpinMaxFile.Value(), 40);
  SetWindowTextW(d.SpinMaxFile.EditWindow(), L"0");
  d.SpinMaxFile.FieldLeft();
  EXPECT_EQ(TextOf(d.SpinMaxFile.EditWindow()), "1");
}

TEST(PagesDlg, OkRunsItsStepsInOrderWithTheValuesOfTheControls) {
  DialogFixture f;
  f.settings.Type = 1;
  f.settings.AutoHide = true;
  f.settings.ListCount = 15;
  TPagesDlg& d = f.Open();
  d.AutoHideCheck.SetChecked(false);
  d.AlwaysTopCheck.SetChecked(true);
  d.FileNumLimitCheck.SetChecked(true);
  d.SpinMaxFile.SetValue(30);
  d.RadioOnTheBar.SetItemIndex(1);
  d.CheckStartUp.SetChecked(true);
  d.RadioGroup2.SetItemIndex(3);
  d.ExecHideCheck.SetChecked(true);
  d.OKBtnClick();
  const std::vector<std::string> expected = {
      "WithdrawEdge autoHide=1",  // the registration made before this OK
      "HideGroupWindow",
      "RenewEdge autoHide=0 top=1",
      "PlaceGroupWindow limit=1 num=30",
      "ArrangeExecButtons",
      "SetStartWithWindows 1",
      "ApplyTaskbarButton onTray=1",
  };
  EXPECT_EQ(f.actions.calls, expected);
  EXPECT_EQ(f.exitMethod, 3);
  EXPECT_TRUE(f.settings.ExecHide);
  EXPECT_EQ(f.settings.ListCount, 30);
}

TEST(PagesDlg, OkWithoutTheLimitLeavesListCountAndClearsTheRunValue) {
  DialogFixture f;
  f.settings.ListCount = 15;
  f.settings.StartUp = true;
  TPagesDlg& d = f.Open();
  d.SpinMaxFile.SetValue(30);
  d.CheckStartUp.SetChecked(false);
  d.OKBtnClick();
  EXPECT_EQ(f.settings.ListCount, 15);
  EXPECT_EQ(f.settings.TMaxFileNum, 30);
  EXPECT_EQ(f.actions.calls.at(5), "SetStartWithWindows 0");
}

TEST(PagesDlg, NewEdgeConfirmedStartsTheRestartToolByItsPathAndCloses) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  d.RadioGroup1.SetItemIndex(2);
  d.CheckStartUp.SetChecked(true);
  auto watch = AnswerDialogLater("情報", IDOK);
  d.OKBtnClick();
  ASSERT_TRUE(watch->Fired());
  EXPECT_EQ(watch->ShownText(), "表示位置の変更のためKobaruneを再起動します。");
  const std::vector<std::string> expected = {
      "WithdrawEdge autoHide=0", "HideGroupWindow",
      "StartProgram " + f.folder.path() + "Vaulter2.exe /r",
      "CloseLauncher type=2",  // the new edge is what the close saves
      "SetStartWithWindows 1", "ApplyTaskbarButton onTray=0",
  };
  EXPECT_EQ(f.actions.calls, expected);
}

TEST(PagesDlg, NewEdgeWithTheNoticeClosedKeepsTheEdgeForTheNextStartOnly) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  d.RadioGroup1.SetItemIndex(0);
  DialogWatch watch("情報", [](HWND notice) { PostMessageW(notice, WM_CLOSE, 0, 0); }, 5000);
  d.OKBtnClick();
  ASSERT_TRUE(watch.Fired());
  const std::vector<std::string> expected = {"WithdrawEdge autoHide=0", "HideGroupWindow",
                                             "SetStartWithWindows 0", "ApplyTaskbarButton onTray=0"};
  EXPECT_EQ(f.actions.calls, expected);
  EXPECT_EQ(f.settings.Type, 0);
}

TEST(PagesDlg, CancelAndTheCloseBoxApplyNothing) {
  for (bool closeBox : {false, true}) {
    DialogFixture f;
    const Settings before = f.settings;
    DialogWatch watch(kDialogCaption, [closeBox](HWND dialog) {
      // Edits first, then the way out: the posted messages keep their order.
      for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND box = GetDlgItem(child, TPagesDlg::kAutoHideCheck)) PostMessageW(box, BM_CLICK, 0, 0);
        if (HWND item = GetDlgItem(child, TPagesDlg::kRadioGroup2Item0 + 3)) PostMessageW(item, BM_CLICK, 0, 0);
      }
      if (closeBox) PostMessageW(dialog, WM_CLOSE, 0, 0);
      else PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    }, 5000);
    EXPECT_EQ(f.Execute(), win::mrCancel) << closeBox;
    EXPECT_TRUE(watch.Fired());
    EXPECT_TRUE(f.actions.calls.empty()) << closeBox;
    EXPECT_EQ(f.settings, before);
    EXPECT_EQ(f.exitMethod, 0);
  }
}

TEST(PagesDlg, EnterAnswersOkAndTheDialogOpensOnItsFirstPageEveryTime) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  d.PageControl1.SetActivePage(TPagesDlg::kTabSheet3);
  auto watch = win::testing::PressKeyInDialogLater(kDialogCaption, VK_RETURN,
                                                   TPagesDlg::kPageControl1);
  EXPECT_EQ(f.dialog->Execute(), win::mrOk);
  EXPECT_TRUE(watch->Fired());
  EXPECT_EQ(f.dialog->PageControl1.ActivePage(), TPagesDlg::kTabSheet1);
  EXPECT_EQ(f.actions.calls.front(), "WithdrawEdge autoHide=0");
}

TEST(PagesDlg, ExitButtonStartsTheToolBesideTheLauncherWithTheCurrentChoice) {
  const char* options[] = {"/S", "/F", "/W", "/R"};
  for (int item = 0; item < 4; ++item) {
    DialogFixture f;
    f.folder.Write("HURTLE.EXE", "MZ");
    TPagesDlg& d = f.Open();
    d.RadioGroup2.SetItemIndex(item);  // chosen, not confirmed with OK
    d.Button1Click();
    const std::vector<std::string> expected = {
        "StartProgram " + f.folder.path() + "HURTLE.EXE " + options[item], "CloseLauncher type=1"};
    EXPECT_EQ(f.actions.calls, expected);
    EXPECT_EQ(f.exitMethod, 0);
  }
}

TEST(PagesDlg, ExitButtonWithoutTheToolTellsSoAndDoesNothingElse) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  auto watch = AnswerDialogLater("情報", IDOK);
  d.Button1Click();
  ASSERT_TRUE(watch->Fired());
  EXPECT_EQ(watch->ShownText(), "実行に必要な\"HURTLE.EXE\"ﾌｧｲﾙが見つかりません。\r機能を実行できません。");
  EXPECT_TRUE(f.actions.calls.empty());
}

TEST(PagesDlg, CloseButtonClosesTheLauncherOnly) {
  DialogFixture f;
  f.Open().BitBtn1Click();
  EXPECT_EQ(f.actions.calls, std::vector<std::string>{"CloseLauncher type=1"});
}

TEST(PagesDlg, ResetLaysTheBarOutForTheScreenAndDropsThePageEdits) {
  DialogFixture f;
  f.settings.Type = 0;
  f.settings.GroupCount = 23;
  const Settings before = f.settings;
  TPagesDlg& d = f.Open();
  d.AutoHideCheck.SetChecked(true);
  d.RadioGroup1.SetItemIndex(3);
  d.ResetBtnClick();
  ASSERT_EQ(f.actions.calls, std::vector<std::string>{"ResetBar"});
  EXPECT_EQ(f.actions.resets.at(0), PlanBarReset(0, 1024, 768, 23));
  EXPECT_EQ(f.settings, before);
}

TEST(PagesDlg, HelpOpensItsFilesBesideTheLauncherAtTheControlsTopics) {
  DialogFixture f;
  f.folder.Write("Pelkan.HLP", "?_");
  f.folder.Write("Pelkan2.hlp", "?_");
  TPagesDlg& d = f.Open();
  std::vector<HelpRequest> requests;
  d.SetHelpCall([&](HWND, const HelpRequest& r) { requests.push_back(r); });
  d.HelpBtnClick();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], (HelpRequest{f.folder.path() + "Pelkan.HLP", HELP_KEY, 0}));
  // F1 reaches the dialog from the focused control through its parents.
  struct Topic { HWND control; DWORD context; };
  const Topic topics[] = {{d.RadioGroup2.Item(2), 30}, {d.Button1.hwnd(), 28},
                          {d.AutoHideCheck.hwnd(), 7}, {d.SpinMaxFile.EditWindow(), 44},
                          {d.CheckStartUp.hwnd(), 42}, {d.PaintBox1.hwnd(), 4},
                          {d.BitBtn1.hwnd(), 12},      {d.PageControl1.hwnd(), 24}};
  for (const Topic& t : topics) {
    requests.clear();
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, t.control, GetWindowContextHelpId(t.control), {0, 0}};
    SendMessageW(t.control, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(requests.size(), 1u) << t.context;
    EXPECT_EQ(requests[0], (HelpRequest{f.folder.path() + "Pelkan2.hlp", HELP_CONTEXT, t.context}));
  }
}

TEST(PagesDlg, MissingHelpFileIsToldNotSilent) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  bool opened = false;
  d.SetHelpCall([&](HWND, const HelpRequest&) { opened = true; });
  auto watch = AnswerDialogLater("情報", IDOK);
  d.HelpBtnClick();
  ASSERT_TRUE(watch->Fired());
  EXPECT_EQ(watch->ShownText(), MissingHelpText("Pelkan.HLP"));
  EXPECT_NE(watch->ShownText().find("Pelkan.HLP"), std::string::npos);
  EXPECT_FALSE(opened);
}

TEST(PagesDlg, AnimationRunsOnlyWhileTheVersionPageIsShown) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  EXPECT_FALSE(d.Timer1.Enabled());
  EXPECT_EQ(d.Timer1.Interval(), 1000u);
  auto select = [&](int page) {
    TabCtrl_SetCurSel(d.PageControl1.hwnd(), page);
    NMHDR change{d.PageControl1.hwnd(), static_cast<UINT_PTR>(TPagesDlg::kPageControl1),
                 static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(d.hwnd(), WM_NOTIFY, TPagesDlg::kPageControl1, reinterpret_cast<LPARAM>(&change));
  };
  select(TPagesDlg::kTabSheet3);
  EXPECT_TRUE(d.Timer1.Enabled());
  EXPECT_TRUE(GetWindowLongPtrW(d.PageControl1.Page(TPagesDlg::kTabSheet3).hwnd(), GWL_STYLE) &
              WS_VISIBLE);
  EXPECT_EQ(d.FrameCounter(), 0);
  for (int tick = 1; tick <= 7; ++tick) {
    d.Timer1Timer();
    EXPECT_EQ(d.FrameCounter(), tick % 6) << tick;
  }
  select(TPagesDlg::kTabSheet5);
  EXPECT_FALSE(d.Timer1.Enabled());
  select(TPagesDlg::kTabSheet3);
  EXPECT_EQ(d.FrameCounter(), 0);  // restarts at the first frame
  EXPECT_TRUE(d.Timer1.Enabled());
}

TEST(PagesDlg, BannerIsAnEightBitPictureAndAClickShowsTheProgramIcon) {
  DialogFixture f;
  TPagesDlg& d = f.Open();
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(d.BannerPicture(), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, kBannerWidth);
  EXPECT_EQ(bm.bmHeight, kBannerPictureHeight);
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_EQ(GetWindowLongPtrW(d.ProgramIcon.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  win::testing::PostClick(d.PaintBox1.hwnd());
  win::testing::PumpMessagesFor(100);
  EXPECT_NE(GetWindowLongPtrW(d.ProgramIcon.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_NE(d.ProgramIcon.Icon(), nullptr);
}

}  // namespace
}  // namespace kb
