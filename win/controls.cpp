#include "win/controls.h"

#include <commctrl.h>

#include <vector>

#include "win/text.h"
#include "win/ui_font.h"

namespace kb::win {

Control::~Control() {
  // The parent may already have destroyed the child with itself.
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool Control::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                          int id, int x, int y, int width, int height,
                          const std::string& sjisText) {
  hwnd_ = CreateWindowExW(exStyle, className, Widen(sjisText).c_str(), WS_CHILD | style, x, y,
                          width, height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return false;
  ApplyUiFont(hwnd_);
  return true;
}

std::string Control::Text() const {
  if (!hwnd_) return {};
  const int length = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
  // Whatever a user types that Shift-JIS cannot hold is refused here, with
  // a message, rather than stored with a replacement character.
  return NarrowOrThrow(text);
}

void Control::SetText(const std::string& sjisText) {
  if (hwnd_) SetWindowTextW(hwnd_, Widen(sjisText).c_str());
}

void Control::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}
bool Control::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Control::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}
bool Control::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Control::SetBounds(int x, int y, int width, int height) {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Control::Bounds() const {
  RECT r{};
  if (!hwnd_) return r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Control::Focus() {
  if (hwnd_) SetFocus(hwnd_);
}

bool Label::Create(HWND parent, int x, int y, int width, int height, const std::string& sjisText,
                   bool withPrefix, int id) {
  if (width <= 0 || height <= 0) {
    const SIZE size = MeasureUiText(sjisText);
    if (width <= 0) width = size.cx;
    if (height <= 0) height = size.cy;
  }
  return CreateChild(L"STATIC", WS_VISIBLE | SS_LEFT | (withPrefix ? 0 : SS_NOPREFIX), 0, parent,
                     id, x, y, width, height, sjisText);
}

bool Edit::Create(HWND parent, int id, int x, int y, int width, int height) {
  return CreateChild(L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent,
                     id, x, y, width, height);
}

void Edit::SelectAll() {
  if (hwnd()) SendMessageW(hwnd(), EM_SETSEL, 0, -1);
}

bool PushButton::Create(HWND parent, int id, int x, int y, int width, int height,
                        const std::string& sjisCaption, bool isDefault) {
  return CreateChild(L"BUTTON",
                     WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                     parent, id, x, y, width, height, sjisCaption);
}

bool CheckBox::Create(HWND parent, int id, int x, int y, int width, int height,
                      const std::string& sjisCaption) {
  return CreateChild(L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, parent, id, x, y,
                     width, height, sjisCaption);
}

bool CheckBox::Checked() const {
  return hwnd() && SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
  if (hwnd()) SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ComboBox::Create(HWND parent, int id, Kind kind, int x, int y, int width, int dropHeight,
                      int itemHeight) {
  DWORD style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL;
  switch (kind) {
    case Kind::DropDownList: style |= CBS_DROPDOWNLIST; break;
    case Kind::DropDownEditable: style |= CBS_DROPDOWN | CBS_AUTOHSCROLL; break;
    case Kind::OwnerDrawnList: style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
  }
  // The height of a combo box window is the field plus its dropped list.
  if (!CreateChild(L"COMBOBOX", style, 0, parent, id, x, y, width, dropHeight)) return false;
  if (kind == Kind::OwnerDrawnList && itemHeight > 0) {
    // Set here rather than answered in WM_MEASUREITEM: the parent sees that
    // message during CreateWindow, before it knows this control.
    SendMessageW(hwnd(), CB_SETITEMHEIGHT, 0, itemHeight);
    SendMessageW(hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
  }
  return true;
}

int ComboBox::Add(const std::string& sjisItem) {
  if (!hwnd()) return -1;
  const std::wstring item = Widen(sjisItem);
  return static_cast<int>(SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ComboBox::Clear() {
  if (hwnd()) SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::Count() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)) : 0;
}

std::string ComboBox::Item(int index) const {
  if (!hwnd() || index < 0 || index >= Count()) return {};
  const LRESULT length = SendMessageW(hwnd(), CB_GETLBTEXTLEN, index, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return Narrow(text).value_or(std::string());
}

int ComboBox::SelectedIndex() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetSelectedIndex(int index) {
  if (hwnd()) SendMessageW(hwnd(), CB_SETCURSEL, index, 0);
}

int ComboBox::ItemHeight() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), CB_GETITEMHEIGHT, 0, 0)) : 0;
}

bool ProgressBar::Create(HWND parent, int id, int x, int y, int width, int height) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  return CreateChild(PROGRESS_CLASSW, WS_VISIBLE, 0, parent, id, x, y, width, height);
}

void ProgressBar::SetRange(int minimum, int maximum) {
  if (hwnd()) SendMessageW(hwnd(), PBM_SETRANGE32, minimum, maximum);
}

void ProgressBar::SetPosition(int position) {
  if (hwnd()) SendMessageW(hwnd(), PBM_SETPOS, position, 0);
}

int ProgressBar::Position() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0)) : 0;
}

void Bevel::Paint(HDC dc) const {
  RECT r = bounds_;
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

void ControlRouter::OnCommand(int id, CommandHandler handler) {
  commands_.emplace(id, std::make_pair(kAnyCode, std::move(handler)));
}

void ControlRouter::OnNotify(int id, int notifyCode, std::function<void()> handler) {
  commands_.emplace(id, std::make_pair(notifyCode, [h = std::move(handler)](int) { h(); }));
}

bool ControlRouter::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    auto [first, last] = commands_.equal_range(id);
    // Copied first: a handler may register or close windows.
    std::vector<CommandHandler> matching;
    for (auto it = first; it != last; ++it) {
      if (it->second.first == kAnyCode || it->second.first == code) matching.push_back(it->second.second);
    }
    for (auto& handler : matching) handler(code);
    return !matching.empty();
  }
  if (msg == WM_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    auto it = draws_.find(static_cast<int>(dis->CtlID));
    if (it == draws_.end()) return false;
    auto handler = it->second;
    handler(*dis);
    return true;
  }
  return false;
}

}  // namespace kb::win
