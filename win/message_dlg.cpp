#include "win/message_dlg.h"
#include "win/monitors.h"

#include <algorithm>
#include <memory>

#include "win/controls.h"
#include "win/text.h"
#include "win/ui_font.h"
#include "win/window.h"

namespace kb::win {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconTextGap = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kTextButtonGap = 16;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

const wchar_t* IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return IDI_WARNING;
    case MsgKind::Error: return IDI_ERROR;
    case MsgKind::Information: return IDI_INFORMATION;
    case MsgKind::Confirmation: return IDI_QUESTION;
  }
  return IDI_INFORMATION;
}

// The answer to Escape and to closing the window.
int EscapeAnswer(const std::vector<int>& ids) {
  for (int id : {IDCANCEL, IDNO, IDOK}) {
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return id;
  }
  return IDCANCEL;
}

// Where the lines go: each line's height (a line wider than the widest
// allowed wraps at spaces, as the label draws it) and the text's width.
struct TextLayout {
  int width = 0;
  std::vector<int> heights;
  int Height() const {
    int h = 0;
    for (int lineHeight : heights) h += lineHeight;
    return h;
  }
};

TextLayout Measure(const std::vector<std::wstring>& lines, int maxWidth) {
  TextLayout layout;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, UiFont());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  for (const auto& line : lines) {
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    int height = lineHeight;
    if (size.cx > maxWidth) {
      RECT r{0, 0, maxWidth, 0};
      DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      height = std::max<int>(lineHeight, r.bottom);
      size.cx = maxWidth;
    }
    layout.width = std::max<int>(layout.width, size.cx);
    layout.heights.push_back(height);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return layout;
}

class TMessageForm : public Window {
 public:
  TMessageForm(std::vector<int> buttonIds, MsgKind kind, bool closeBoxCancels)
      : buttonIds_(std::move(buttonIds)), kind_(kind), closeBoxCancels_(closeBoxCancels) {}
  ~TMessageForm() override { Destroy(); }

  bool Build(HWND owner, const std::string& caption, const std::string& text);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  int DefaultId() const { return buttonIds_.front(); }
  bool HasButton(int id) const {
    return std::find(buttonIds_.begin(), buttonIds_.end(), id) != buttonIds_.end();
  }
  void Answer(int id);

  std::vector<int> buttonIds_;
  MsgKind kind_;
  bool closeBoxCancels_;
  std::vector<std::unique_ptr<Label>> lines_;
  std::vector<std::unique_ptr<PushButton>> buttons_;
  HWND icon_ = nullptr;
  HWND focus_ = nullptr;
};

bool TMessageForm::Build(HWND owner, const std::string& caption, const std::string& text) {
  const std::vector<std::string> lines = SplitMessageLines(text);
  std::vector<std::wstring> wideLines;
  for (const auto& line : lines) wideLines.push_back(Widen(line));
  // A message never grows wider than three quarters of the screen.
  const int maxTextWidth = GetSystemMetrics(SM_CXSCREEN) * 3 / 4 - 3 * kMargin - kIconSize - kIconTextGap;
  const TextLayout m = Measure(wideLines, std::max(maxTextWidth, 100));
  const int n = static_cast<int>(buttonIds_.size());
  const int buttonsWidth = n * kButtonWidth + (n - 1) * kButtonGap;
  const int textHeight = m.Height();
  const int bodyHeight = std::max(kIconSize, textHeight);
  const int clientW = std::max(kMargin + kIconSize + kIconTextGap + m.width, buttonsWidth) + 2 * kMargin;
  const int clientH = kMargin + bodyHeight + kTextButtonGap + kButtonHeight + kMargin;
  RECT frame{0, 0, clientW, clientH};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  // Centred on the owner's monitor (the bar's), inside its work area.
  const Box at = CentreInWorkArea(WorkAreaOf(owner), w, h);
  if (!Create(kMessageFormClass, kExStyle, kStyle, at.left, at.top, w, h, owner)) return false;
  SetWindowTextW(hwnd(), Widen(caption).c_str());
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);

  icon_ = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin,
                          kIconSize, kIconSize, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IconOf(kind_))), 0);

  const int textX = kMargin + kIconSize + kIconTextGap;
  const int textY = kMargin + (bodyHeight - textHeight) / 2;
  int lineY = textY;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto label = std::make_unique<Label>();
    label->Create(hwnd(), textX, lineY, m.width + 2, m.heights[i], lines[i]);
    lineY += m.heights[i];
    lines_.push_back(std::move(label));
  }
  int bx = (clientW - buttonsWidth) / 2;
  const int by = clientH - kMargin - kButtonHeight;
  for (int id : buttonIds_) {
    auto button = std::make_unique<PushButton>();
    button->Create(hwnd(), id, bx, by, kButtonWidth, kButtonHeight, ButtonText(id), id == DefaultId());
    buttons_.push_back(std::move(button));
    bx += kButtonWidth + kButtonGap;
  }
  focus_ = GetDlgItem(hwnd(), DefaultId());
  return true;
}

void TMessageForm::Answer(int id) {
  if (!InModal()) return;
  if (HasButton(id)) EndModal(id);
  else if (id == IDOK) EndModal(DefaultId());              // Enter
  else if (id == IDCANCEL) EndModal(EscapeAnswer(buttonIds_));  // Escape
}

LRESULT TMessageForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Answer(LOWORD(wParam));
      return 0;
    case DM_GETDEFID:
      // Asked by the modal loop's IsDialogMessage to route Enter.
      return MAKELRESULT(DefaultId(), DC_HASDEFID);
    case WM_CLOSE:
      if (closeBoxCancels_ && InModal()) EndModal(IDCANCEL);
      else Answer(IDCANCEL);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused && IsChild(hwnd(), focused)) focus_ = focused;
      } else if (focus_) {
        SetFocus(focus_);
      }
      return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

int RunDialog(HWND owner, const std::string& caption, const std::string& text, MsgKind kind,
              std::vector<int> ids, bool closeBoxCancels = false) {
  const int fallback = EscapeAnswer(ids);
  const std::vector<int> offered = ids;
  TMessageForm form(std::move(ids), kind, closeBoxCancels);
  if (owner) owner = GetAncestor(owner, GA_ROOT);
  if (!form.Build(owner, caption, text)) return closeBoxCancels ? IDCANCEL : fallback;
  const int result = form.ShowModal();
  // The modal loop ends with mrCancel on WM_QUIT and mrNone when the window
  // was destroyed: a Yes/No question then answers No, never a Cancel the
  // caller does not expect (unless it asked for one on closing).
  const bool answered = std::find(offered.begin(), offered.end(), result) != offered.end();
  if (answered) return result;
  return closeBoxCancels ? IDCANCEL : fallback;
}

}  // namespace

std::string CaptionOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "警告";
    case MsgKind::Error: return "ｴﾗｰ";
    case MsgKind::Information: return "情報";
    case MsgKind::Confirmation: return "確認";
  }
  return {};
}

std::string ButtonText(int buttonId) {
  switch (buttonId) {
    case IDYES: return "はい(&Y)";
    case IDNO: return "いいえ(&N)";
    case IDOK: return "OK";
    case IDCANCEL: return "ｷｬﾝｾﾙ";
  }
  return {};
}

std::vector<int> ButtonIds(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {IDOK};
    case MsgButtons::OkCancel: return {IDOK, IDCANCEL};
    case MsgButtons::YesNo: return {IDYES, IDNO};
    case MsgButtons::YesNoCancel: return {IDYES, IDNO, IDCANCEL};
  }
  return {IDOK};
}

std::vector<std::string> SplitMessageLines(const std::string& sjisText) {
  // A CR byte is never a Shift-JIS trail byte (those start at 0x40), so a
  // plain byte scan is safe here.
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < sjisText.size(); ++i) {
    const char c = sjisText[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < sjisText.size() && sjisText[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

int MessageDlg(HWND owner, const std::string& sjisText, MsgKind kind, MsgButtons buttons,
               bool closeBoxCancels) {
  return RunDialog(owner, CaptionOf(kind), sjisText, kind, ButtonIds(buttons), closeBoxCancels);
}

void ErrorBox(HWND owner, const std::string& sjisCaption, const std::string& sjisText) {
  RunDialog(owner, sjisCaption, sjisText, MsgKind::Error, {IDOK});
}

}  // namespace kb::win
