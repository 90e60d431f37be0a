// The settings dialog's construction: the form, its five pages and the
// button row.  The handlers are in pages_dlg_handlers.cpp.
#include "settings/pages_dlg.h"
#include "win/monitors.h"

#include <commctrl.h>

#include <stdexcept>

#include "settings/banner.h"
#include "settings/close_glyph.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

constexpr int kClientWidth = 422;
constexpr int kClientHeight = 295;
constexpr int kButtonRowHeight = 33;
constexpr int kMargin = 5;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT kFocusFirstControl = WM_APP + 1;

constexpr char kCaption[] = "Kobaruneの設定";

// Help context numbers of the launcher's help file.
constexpr DWORD kHelpPageControl = 24;
constexpr DWORD kHelpExitPage = 28, kHelpExitMethod = 30;
constexpr DWORD kHelpGroupWindowPage = 7;
constexpr DWORD kHelpFileWindowPage = 44;
constexpr DWORD kHelpOtherPage = 42;
constexpr DWORD kHelpVersionPage = 4;
constexpr DWORD kHelpCloseLauncher = 12;

constexpr int kCheckHeight = 17;

// The program's own icon (resource 1), or the system's application icon in a
// program without one.  Both are shared: never destroyed.
HICON ProgramIconHandle() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

SIZE MeasureWith(HFONT font, const std::string& sjisText) {
  const std::wstring text = win::Widen(sjisText);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace

TPagesDlg::TPagesDlg(HWND owner, ProgramState& state, SettingsActions& actions)
    : Timer1(1000, [this] { Timer1Timer(); }),
      state_(state),
      actions_(actions),
      choice_(ChoiceOf(state.settings, state.ExitMethod)) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  if (!Create(kClassName, kExStyle, kStyle, 0, 0, frame.right - frame.left,
              frame.bottom - frame.top, owner)) {
    throw std::runtime_error("設定ウィンドウを作成できません");
  }
  SetWindowTextW(hwnd(), win::Widen(kCaption).c_str());
  win::ApplyUiFont(hwnd());
  LOGFONTW bold = win::UiLogFont(state.dpi);
  bold.lfHeight = -DpiScale(state.dpi)(19);
  bold.lfWeight = FW_BOLD;
  versionFont_ = CreateFontIndirectW(&bold);
  banner_ = LoadBannerPicture();
  bannerDc_ = CreateCompatibleDC(nullptr);
  if (banner_) bannerOld_ = SelectObject(bannerDc_, banner_);
  CreatePages();
  CreateButtonRow();
  RouteCommands();
  ApplyScale(state.dpi);
  Centre();
}

// Made at 96 dpi, then laid out at the bar's scale: positions, sizes and
// the UI font; the version label keeps its own bold font.
void TPagesDlg::ApplyScale(int dpi) {
  if (!layout_.Captured()) layout_.Capture(hwnd());
  layout_.Apply(DpiScale(dpi));
  SendMessageW(Version.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_), TRUE);
}

TPagesDlg::~TPagesDlg() {
  Timer1.Stop();
  // The children go first, while the fonts and pictures they show exist.
  Destroy();
  if (bannerDc_) {
    if (bannerOld_) SelectObject(bannerDc_, bannerOld_);
    DeleteDC(bannerDc_);
  }
  if (banner_) DeleteObject(banner_);
  if (versionFont_) DeleteObject(versionFont_);
}

void TPagesDlg::Centre() {
  // On the bar's monitor (the owner's), inside its work area.
  win::CentreOnOwnerMonitor(hwnd(), GetWindow(hwnd(), GW_OWNER));
}

void TPagesDlg::CreatePages() {
  const int height = kClientHeight - kButtonRowHeight - 2 * kMargin;
  if (!PageControl1.Create(hwnd(), kPageControl1, kMargin, kMargin, kClientWidth - 2 * kMargin,
                           height)) {
    throw std::runtime_error("設定ウィンドウのページを作成できません");
  }
  SetWindowContextHelpId(PageControl1.hwnd(), kHelpPageControl);
  struct PageMaker {
    const char* caption;
    DWORD help;
    void (TPagesDlg::*fill)(HWND);
  };
  const PageMaker pages[] = {
      {"Windows終了", kHelpExitPage, &TPagesDlg::CreateExitPage},
      {"ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳ", kHelpGroupWindowPage, &TPagesDlg::CreateGroupWindowPage},
      {"ﾌｧｲﾙｳｲﾝﾄﾞｳ", kHelpFileWindowPage, &TPagesDlg::CreateFileWindowPage},
      {"その他", kHelpOtherPage, &TPagesDlg::CreateOtherPage},
      {"ﾊﾞｰｼﾞｮﾝ情報", kHelpVersionPage, &TPagesDlg::CreateVersionPage},
  };
  for (const PageMaker& page : pages) {
    ControlHost& sheet = PageControl1.AddPage(page.caption);
    SetWindowContextHelpId(sheet.hwnd(), page.help);
    (this->*page.fill)(sheet.hwnd());
  }
  PageControl1.SetActivePage(kTabSheet1);
}

void TPagesDlg::CreateCheck(win::CheckBox& box, HWND page, int id, int x, int y,
                            const char* caption, DWORD helpContext) {
  // As wide as its text and the box in front of it.
  const int width = win::MeasureUiText(caption).cx + 24;
  box.Create(page, id, x, y, width, kCheckHeight, caption);
  SetWindowContextHelpId(box.hwnd(), helpContext);
}

void TPagesDlg::CreateExitPage(HWND page) {
  RadioGroup2.Create(page, kRadioGroup2, kRadioGroup2Item0, 8, 16, 385, 161, "終了方法の設定",
                     {"シャットダウン", "シャットダウン（変更を全て保存しない）", "Windows再起動",
                      "リブート"},
                     1);
  RadioGroup2.SetHelpContext(kHelpExitMethod);
  Button1.Create(page, kButton1, 114, 184, 167, 33, "速攻終了！");
  SetWindowContextHelpId(Button1.hwnd(), kHelpExitPage);
}

void TPagesDlg::CreateGroupWindowPage(HWND page) {
  const DWORD help = kHelpGroupWindowPage;
  RadioGroup1.Create(page, kRadioGroup1, kRadioGroup1Item0, 8, 16, 265, 65,
                     "　　　表示位置　　　",
                     {"スクリーン上部", "スクリーン左部", "スクリーン下部", "スクリーン右部"}, 2);
  RadioGroup1.SetHelpContext(help);
  ResetBtn.Create(page, kResetBtn, 280, 22, 113, 59, "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳﾘｾｯﾄ");
  SetWindowContextHelpId(ResetBtn.hwnd(), help);
  CreateCheck(AutoHideCheck, page, kAutoHideCheck, 8, 104, "自動的に隠す", help);
  CreateCheck(AlwaysTopCheck, page, kAlwaysTopCheck, 8, 128, "常に手前に表示", help);
  CreateCheck(OnActiveCheck, page, kOnActiveCheck, 8, 152,
              "カーソルが来たらKobaruneをアクティブにする", help);
  CreateCheck(SaverPauseCB, page, kSaverPauseCB, 8, 176,
              "カーソルがある時はスクリーンセーバーの起動を禁止する", help);
  // Below the page's other controls, where the page has room.
  const char* monitorCaption = "表示するモニター";
  MonitorLabel1.Create(page, 8, 203, win::MeasureUiText(monitorCaption).cx, kCheckHeight,
                       monitorCaption);
  MonitorList.Create(page, kMonitorList, win::ComboBox::Kind::DropDownList, 120, 200, 180, 120);
  SetWindowContextHelpId(MonitorList.hwnd(), help);
}

void TPagesDlg::CreateFileWindowPage(HWND page) {
  const DWORD help = kHelpFileWindowPage;
  CreateCheck(FileNumLimitCheck, page, kFileNumLimitCheck, 8, 104, "最大表示数を制限する", help);
  SpinMaxFile.Create(page, kSpinMaxFile, 152, 101, 41, 21, kMinFileNum, kMaxFileNum, 5);
  SpinMaxFile.SetEnabled(false);
  SetWindowContextHelpId(SpinMaxFile.EditWindow(), help);
  SetWindowContextHelpId(SpinMaxFile.Arrows(), help);
  CreateCheck(NotActiveHideCheck, page, kNotActiveHideCheck, 8, 128,
              "アクティブで無いとき自動的に隠す", help);
  CreateCheck(ExecHideCheck, page, kExecHideCheck, 8, 152, "アプリケーション起動後に自動的に隠す",
              help);
  CreateCheck(AfterExecBUCheck, page, kAfterExecBUCheck, 8, 192,
              "バックアップはアプリケーション起動後に実行する", help);
}

void TPagesDlg::CreateOtherPage(HWND page) {
  const DWORD help = kHelpOtherPage;
  RadioOnTheBar.Create(page, kRadioOnTheBar, kRadioOnTheBarItem0, 8, 16, 281, 41,
                       "タスクバーに表示", {"表示する", "表示しない"}, 2);
  RadioOnTheBar.SetHelpContext(help);
  CreateCheck(CheckStartUp, page, kCheckStartUp, 8, 104, "Windowsの起動時に自動実行させる", help);
  // Below the page's other controls: the key and the field it is set in.
  CreateCheck(HotKeyCheck, page, kHotKeyCheck, 8, 136, "ホットキーでKobaruneを呼び出す", help);
  HotKeyField.Create(page, kHotKeyEdit, 26, 158, 160, 21);
  SetWindowContextHelpId(HotKeyField.hwnd(), help);
}

void TPagesDlg::CreateVersionPage(HWND page) {
  constexpr int kPanelWidth = 369;
  Panel3.Create(page, hwnd(), 16, 11, kPanelWidth, 174, ControlHost::Look::Bevelled);
  Panel3.SetVisible(true);
  HWND panel = Panel3.hwnd();
  PaintBox1.Create(panel, 8, 5, 350, 80);
  PaintBox1.OnPaint = [this](HDC dc) { PaintBox1Paint(dc); };
  PaintBox1.OnClick = [this] { PaintBox1Click(); };

  const char* version = "Version 2.00β";
  const SIZE v = MeasureWith(versionFont_, version);
  Version.Create(panel, 128, 87, v.cx, v.cy, version);
  SendMessageW(Version.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_), TRUE);
  // The two small lines are centred on the panel below the version.
  const char* line1 = "ﾃﾞｽｸﾄｯﾌﾟ ｱﾌﾟﾘｹｰｼｮﾝ ﾗﾝﾁｬｰ";
  const char* line2 = "Copyright (C) Kobarune Project";
  const SIZE s1 = win::MeasureUiText(line1), s2 = win::MeasureUiText(line2);
  Label1.Create(panel, (kPanelWidth - s1.cx) / 2, 128, s1.cx, s1.cy, line1);
  Label2.Create(panel, (kPanelWidth - s2.cx) / 2, 146, s2.cx, s2.cy, line2);
  ProgramIcon.Create(panel, 32, 88, 33, 33, ProgramIconHandle(), false);
  for (HWND control : {panel, PaintBox1.hwnd(), Version.hwnd(), Label1.hwnd(), Label2.hwnd(),
                       ProgramIcon.hwnd()}) {
    SetWindowContextHelpId(control, kHelpVersionPage);
  }
}

void TPagesDlg::CreateButtonRow() {
  const int top = kClientHeight - kButtonRowHeight + 2;
  BitBtn1.Create(hwnd(), 8, top, 161, 25, kBitBtn1);
  BitBtn1.SetCaption("Kobaruneの終了(&C)");
  BitBtn1.SetGlyph(CreateCloseGlyph(state_.dpi), 2, true);
  SetWindowContextHelpId(BitBtn1.hwnd(), kHelpCloseLauncher);
  OKBtn.Create(hwnd(), kOKBtn, 184, top, 74, 24, "OK", true);
  CancelBtn.Create(hwnd(), kCancelBtn, 263, top, 74, 24, "ｷｬﾝｾﾙ");
  HelpBtn.Create(hwnd(), kHelpBtn, 342, top, 73, 24, "ﾍﾙﾌﾟ(&H)");
}

void TPagesDlg::RouteCommands() {
  router_.OnNotify(kOKBtn, BN_CLICKED, [this] { OKBtnClick(); });
  router_.OnNotify(kCancelBtn, BN_CLICKED, [this] { CancelBtnClick(); });
  router_.OnNotify(kHelpBtn, BN_CLICKED, [this] { HelpBtnClick(); });
  router_.OnNotify(kResetBtn, BN_CLICKED, [this] { ResetBtnClick(); });
  router_.OnNotify(kBitBtn1, BN_CLICKED, [this] { BitBtn1Click(); });
  router_.OnNotify(kButton1, BN_CLICKED, [this] { Button1Click(); });
  router_.OnNotify(kFileNumLimitCheck, BN_CLICKED, [this] { FileNumLimitCheckClick(); });
  router_.OnNotify(kHotKeyCheck, BN_CLICKED, [this] { HotKeyCheckClick(); });
  router_.OnNotify(kSpinMaxFile, EN_KILLFOCUS, [this] { SpinMaxFile.FieldLeft(); });
}

LRESULT TPagesDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (router_.Dispatch(msg, wParam, lParam)) return 0;
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(kPageControl1) && header->code == TCN_SELCHANGE) {
        PageControl1.Changed();
        PageControl1Change();
        return 0;
      }
      break;
    }
    case DM_GETDEFID:
      // Asked by the modal loop's IsDialogMessage to route Enter.
      return MAKELRESULT(kOKBtn, DC_HASDEFID);
    case WM_HELP: {
      const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
      if (info->iContextType == HELPINFO_WINDOW) {
        ShowContextHelp(static_cast<HWND>(info->hItemHandle));
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      // The close box applies nothing, as Cancel.
      if (InModal()) EndModal(win::mrCancel);
      return 0;
    case kFocusFirstControl:
      if (HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE)) SetFocus(first);
      return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

int TPagesDlg::Execute() {
  if (InModal()) return win::mrNone;
  FormShow();
  // Above the stay-on-top bar and group window, which could cover it.
  constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  PostMessageW(hwnd(), kFocusFirstControl, 0, 0);
  const int result = ShowModal();
  Timer1.Stop();
  return result;
}

}  // namespace kb
