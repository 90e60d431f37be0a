#include "win/progress_form.h"
#include "win/monitors.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "win/dpi.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

enum : int { kIdLabel1 = 1, kIdLabel2, kIdProgress };

}  // namespace

std::string ProgressText(int percent) { return std::to_string(percent) + "% 完了"; }

TFProge::~TFProge() { Destroy(); }

void TFProge::Create(HWND owner, int dpi) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  // Centred on the owner's monitor (the bar's), inside its work area.
  const Box at = CentreInWorkArea(win::WorkAreaOf(owner), width, height);
  if (!Window::Create(kClassName, exStyle, style, at.left, at.top, width, height, owner)) {
    throw std::runtime_error("進行状況ウィンドウを作成できません");
  }
  SetWindowTextW(hwnd(), win::Widen("しばらくおまちください").c_str());
  win::ApplyUiFont(hwnd());
  const bool made = Label1.Create(hwnd(), 8, 8, 200, 16, "ｱｲｺﾝﾃﾞｰﾀ取得中", false, kIdLabel1) &&
                    Label2.Create(hwnd(), 0, 32, 200, 16, "  0% 完了", false, kIdLabel2) &&
                    ProgressBar1.Create(hwnd(), kIdProgress, 8, 56, 297, 25);
  if (!made) throw std::runtime_error("進行状況ウィンドウを作成できません");
  ProgressBar1.SetRange(0, 100);
  SendMessageW(ProgressBar1.hwnd(), PBM_SETSTEP, 20, 0);
  const DpiScale scale(dpi);
  if (!scale.IsBase()) {
    // Made at 96 dpi, laid out at the caller's scale, centred again.
    win::ScaledLayout layout;
    layout.Capture(hwnd());
    layout.Apply(scale);
    const RECT r = Bounds();
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
              w, h);
  }
}

void TFProge::Show() {
  ShowWindow(hwnd(), SW_SHOWNA);
  Repaint();
}

void TFProge::SetProgress(int percent) {
  Label2.SetText(ProgressText(percent));
  ProgressBar1.SetPosition(std::clamp(percent, 0, 100));
  Repaint();
}

void TFProge::Repaint() {
  // Paint now: the caller is busy reading icons and will not return to the
  // message loop until it has finished.
  for (HWND w : {Label2.hwnd(), ProgressBar1.hwnd(), hwnd()}) {
    if (!w) continue;
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
}

}  // namespace kb
