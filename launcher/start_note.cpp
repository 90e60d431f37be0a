#include "launcher/start_note.h"

#include <stdexcept>

#include "model/first_start_note.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

constexpr int kMargin = 8;
constexpr int kTextWidth = 330;

RECT MeasureText(const std::wstring& text) {
  RECT r{0, 0, kTextWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, win::UiFont());
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r;
}

}  // namespace

TStartNote::TStartNote() : closeTimer_(kShownMilliseconds, [this] { Close(); }) {}

TStartNote::~TStartNote() { Destroy(); }

const std::string& TStartNote::Text() {
  static const std::string text =
      "Kobaruneへようこそ\r\n"
      "ｸﾞﾙｰﾌﾟﾎﾞﾀﾝをｸﾘｯｸするとｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳが開きます。\r\n"
      "ﾌﾟﾛｸﾞﾗﾑやｼｮｰﾄｶｯﾄをｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳのﾎﾞﾀﾝにﾄﾞﾛｯﾌﾟすると登録できます。\r\n"
      "ﾎﾞﾀﾝを右ｸﾘｯｸすると登録ﾀﾞｲｱﾛｸﾞが開きます。\r\n"
      "ﾊﾞｰの端の設定ﾎﾞﾀﾝで表示位置などを設定できます。\r\n"
      "Ctrl+Alt+Kでどのﾌﾟﾛｸﾞﾗﾑからでもｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳを開き、ｷｰﾎﾞｰﾄﾞで操作できます。\r\n"
      "F1ｷｰかﾍﾙﾌﾟﾎﾞﾀﾝでﾍﾙﾌﾟを表示します。\r\n"
      "(ｸﾘｯｸすると閉じます)";
  return text;
}

void TStartNote::Show(HWND bar, int type, int screenWidth, int screenHeight) {
  const std::wstring text = win::Widen(Text());
  const RECT textRect = MeasureText(text);
  // The border adds a pixel on each side.
  const int width = textRect.right + 2 * kMargin + 2, height = textRect.bottom + 2 * kMargin + 2;
  const Box box = FirstStartNoteBounds(type, screenWidth, screenHeight, width, height);
  if (!hwnd()) {
    // No activation: the note never takes the keyboard from what the user
    // does meanwhile, and stays above the stay-on-top bar's neighbours.
    constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    if (!Create(kClassName, kExStyle, WS_POPUP | WS_BORDER, box.left, box.top, width, height, bar)) {
      throw std::runtime_error("案内のウィンドウを作成できません");
    }
    SetWindowTextW(hwnd(), text.c_str());
  }
  SetWindowPos(hwnd(), HWND_TOPMOST, box.left, box.top, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  closeTimer_.Start();
}

void TStartNote::Close() {
  closeTimer_.Stop();
  Destroy();
}

void TStartNote::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT r;
  GetClientRect(hwnd(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
  InflateRect(&r, -kMargin, -kMargin);
  HGDIOBJ old = SelectObject(dc, win::UiFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  const std::wstring text = win::Widen(Text());
  DrawTextW(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd(), &ps);
}

LRESULT TStartNote::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // Posted: the window is not destroyed inside its own message.
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
