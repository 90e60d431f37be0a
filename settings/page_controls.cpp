#include "settings/page_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "settings/settings_choice.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

constexpr wchar_t kHostClass[] = L"TKbControlHost";
constexpr wchar_t kPaintBoxClass[] = L"TKbPaintBox";
constexpr wchar_t kIconImageClass[] = L"TKbIconImage";

}  // namespace

// --- ControlHost ---------------------------------------------------------------

bool ControlHost::Create(HWND parent, HWND form, int x, int y, int width, int height, Look look) {
  form_ = form;
  look_ = look;
  if (!Window::Create(kHostClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS, x, y, width,
                      height, parent)) {
    return false;
  }
  win::ApplyUiFont(hwnd());
  return true;
}

LRESULT ControlHost::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      if (form_) return SendMessageW(form_, msg, wParam, lParam);
      break;
    case WM_PAINT:
      if (look_ == Look::Bevelled) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT r;
        GetClientRect(hwnd(), &r);
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        EndPaint(hwnd(), &ps);
        return 0;
      }
      break;
  }
  return DefaultHandling(msg, wParam, lParam);
}

// --- PageControl -----------------------------------------------------------------

bool PageControl::Create(HWND parent, int id, int x, int y, int width, int height) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  form_ = parent;
  // Clipped by its siblings: the sheets lie on top of it.
  return CreateChild(WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, parent, id, x,
                     y, width, height);
}

ControlHost& PageControl::AddPage(const std::string& sjisCaption) {
  std::wstring caption = win::Widen(sjisCaption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption.data();
  const int index = PageCount();
  SendMessageW(hwnd(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
  auto sheet = std::make_unique<ControlHost>();
  const RECT r = SheetBounds();
  sheet->Create(form_, form_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  SetWindowPos(sheet->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  sheets_.push_back(std::move(sheet));
  // The tab row is known only once the tabs exist: every sheet follows it.
  const RECT all = SheetBounds();
  for (auto& s : sheets_) s->SetBounds(all.left, all.top, all.right - all.left, all.bottom - all.top);
  Changed();
  return *sheets_.back();
}

std::string PageControl::PageCaption(int index) const {
  wchar_t text[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(hwnd(), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return win::Narrow(text).value_or(std::string());
}

RECT PageControl::SheetBounds() const {
  // The display area of the tab control, in the form's coordinates.
  RECT r = Bounds();
  SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

int PageControl::ActivePage() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}

void PageControl::SetActivePage(int index) {
  SendMessageW(hwnd(), TCM_SETCURSEL, index, 0);
  Changed();
}

void PageControl::Changed() {
  const int active = ActivePage();
  for (int i = 0; i < PageCount(); ++i) Page(i).SetVisible(i == active);
}

// --- RadioGroup ------------------------------------------------------------------

bool RadioGroup::FrameBox::Create(HWND parent, int id, int x, int y, int width, int height,
                                  const std::string& text) {
  return CreateChild(L"BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, parent, id, x, y, width, height, text);
}

bool RadioGroup::RadioItem::Create(HWND parent, int id, int x, int y, int width, int height,
                                   const std::string& text, bool first) {
  // The first button starts a group of its own: the arrow keys move within
  // the items, and a click clears only its siblings.
  const DWORD style = WS_VISIBLE | BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0);
  return CreateChild(L"BUTTON", style, 0, parent, id, x, y, width, height, text);
}

bool RadioGroup::Create(HWND parent, int frameId, int firstId, int x, int y, int width,
                        int height, const std::string& sjisCaption,
                        const std::vector<std::string>& sjisItems, int columns) {
  if (!frame_.Create(parent, frameId, x, y, width, height, sjisCaption)) return false;
  columns = std::max(1, columns);
  const int count = static_cast<int>(sjisItems.size());
  const int perColumn = std::max(1, (count + columns - 1) / columns);
  const int textHeight = win::MeasureUiText("A").cy;
  // Below the caption, the rows share the height evenly; the spare pixels
  // go half above, half below.
  const int room = height - textHeight - 5;
  const int rowHeight = std::max(1, room / perColumn);
  const int top = textHeight + 1 + (room % perColumn) / 2;
  const int columnWidth = (width - 10) / columns;
  for (int i = 0; i < count; ++i) {
    auto item = std::make_unique<RadioItem>();
    const int left = x + 8 + (i / perColumn) * columnWidth;
    const int itemTop = y + top + (i % perColumn) * rowHeight;
    if (!item->Create(parent, firstId + i, left, itemTop, columnWidth - 4, rowHeight,
                      sjisItems[static_cast<size_t>(i)], i == 0)) {
      return false;
    }
    items_.push_back(std::move(item));
  }
  // Above the frame, so the frame never paints over its buttons.
  for (auto& item : items_) {
    SetWindowPos(item->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return true;
}

int RadioGroup::ItemIndex() const {
  for (int i = 0; i < Count(); ++i) {
    if (SendMessageW(Item(i), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
  }
  return -1;
}

void RadioGroup::SetItemIndex(int index) {
  for (int i = 0; i < Count(); ++i) {
    SendMessageW(Item(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void RadioGroup::SetHelpContext(DWORD context) {
  SetWindowContextHelpId(Frame(), context);
  for (int i = 0; i < Count(); ++i) SetWindowContextHelpId(Item(i), context);
}

// --- SpinEdit --------------------------------------------------------------------

bool SpinEdit::Field::Create(HWND parent, int id, int x, int y, int width, int height) {
  return CreateChild(L"EDIT", WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_NUMBER | ES_AUTOHSCROLL,
                     WS_EX_CLIENTEDGE, parent, id, x, y, width, height);
}

bool SpinEdit::Create(HWND parent, int editId, int x, int y, int width, int height, int minimum,
                      int maximum, int value) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  minimum_ = minimum;
  maximum_ = maximum;
  // The arrows take the right end of the bounds, the field the rest, so the
  // pair fills exactly the place given (the arrows' own alignment would
  // overlap the field's border by a few pixels).
  const int arrowsWidth = std::min(GetSystemMetrics(SM_CXVSCROLL), width / 2);
  if (!edit_.Create(parent, editId, x, y, width - arrowsWidth, height)) return false;
  arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                            WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS |
                                UDS_NOTHOUSANDS,
                            x + width - arrowsWidth, y, arrowsWidth, height, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!arrows_) return false;
  SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_.hwnd()), 0);
  // Setting the buddy may nudge the arrows; they keep their place.
  SetWindowPos(arrows_, nullptr, x + width - arrowsWidth, y, arrowsWidth, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(arrows_, UDM_SETRANGE32, minimum, maximum);
  SetValue(value);
  return true;
}

int SpinEdit::Value() const {
  std::string text;
  try {
    text = edit_.Text();
  } catch (const win::UnrepresentableName&) {
    // Only digits can be typed; pasted text that is no number reads as such.
  }
  return SpinValueOf(text, minimum_, maximum_);
}

void SpinEdit::SetValue(int value) {
  value = std::clamp(value, minimum_, maximum_);
  SendMessageW(arrows_, UDM_SETPOS32, 0, value);
  edit_.SetText(std::to_string(value));
}

void SpinEdit::SetEnabled(bool enabled) {
  edit_.SetEnabled(enabled);
  EnableWindow(arrows_, enabled ? TRUE : FALSE);
}

// --- PaintBox --------------------------------------------------------------------

bool PaintBox::Create(HWND parent, int x, int y, int width, int height) {
  return Window::Create(kPaintBoxClass, 0, WS_CHILD | WS_VISIBLE, x, y, width, height, parent);
}

LRESULT PaintBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      if (OnPaint) OnPaint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return OnPaint ? 1 : DefaultHandling(msg, wParam, lParam);
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(hwnd());
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      if (GetCapture() == hwnd()) ReleaseCapture();
      RECT r;
      GetClientRect(hwnd(), &r);
      const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (wasPressed && PtInRect(&r, p) && OnClick) OnClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

// --- IconImage -------------------------------------------------------------------

bool IconImage::Create(HWND parent, int x, int y, int width, int height, HICON icon, bool visible) {
  icon_ = icon;
  return Window::Create(kIconImageClass, 0, WS_CHILD | (visible ? WS_VISIBLE : 0), x, y, width,
                        height, parent);
}

LRESULT IconImage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT r;
    GetClientRect(hwnd(), &r);
    if (icon_) DrawIconEx(dc, 0, 0, icon_, r.right, r.bottom, 0, nullptr, DI_NORMAL);
    EndPaint(hwnd(), &ps);
    return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

}  // namespace kb
