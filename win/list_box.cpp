#include "win/list_box.h"

#include <commctrl.h>

#include <exception>

#include "win/text.h"
#include "win/window.h"

namespace kb::win {

bool ListBox::Create(HWND parent, int id, int x, int y, int width, int height, bool visible) {
  const DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                      (visible ? WS_VISIBLE : 0);
  if (!CreateChild(L"LISTBOX", style, WS_EX_CLIENTEDGE, parent, id, x, y, width, height)) {
    return false;
  }
  return SetWindowSubclass(hwnd(), &ListBox::KeyProc, 0, reinterpret_cast<DWORD_PTR>(this)) != 0;
}

int ListBox::Count() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0)) : 0;
}

std::string ListBox::Item(int index) const {
  if (!hwnd() || index < 0 || index >= Count()) return {};
  const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, index, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  // Items only ever come in as Shift-JIS, so they always go back.
  return Narrow(text).value_or(std::string());
}

std::vector<std::string> ListBox::Items() const {
  std::vector<std::string> items;
  const int count = Count();
  items.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) items.push_back(Item(i));
  return items;
}

int ListBox::Insert(int index, const std::string& sjisItem) {
  if (!hwnd()) return -1;
  const std::wstring item = Widen(sjisItem);
  return static_cast<int>(
      SendMessageW(hwnd(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(item.c_str())));
}

void ListBox::Delete(int index) {
  if (hwnd()) SendMessageW(hwnd(), LB_DELETESTRING, index, 0);
}

void ListBox::Clear() {
  if (hwnd()) SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
}

int ListBox::SelectedIndex() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)) : -1;
}

void ListBox::SetSelectedIndex(int index) {
  if (hwnd()) SendMessageW(hwnd(), LB_SETCURSEL, index, 0);
}

void ListBox::SetItemHeight(int height) {
  if (hwnd()) SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, height);
}

int ListBox::ItemHeight() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0)) : 0;
}

void ListBox::SetOnKeyUp(std::function<void(WPARAM key)> handler) { onKeyUp_ = std::move(handler); }

LRESULT CALLBACK ListBox::KeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
  if (msg == WM_KEYUP) {
    auto* list = reinterpret_cast<ListBox*>(self);
    try {
      if (list->onKeyUp_) list->onKeyUp_(wParam);
    } catch (const std::exception& e) {
      ReportError(e.what());
    } catch (...) {
      ReportError("unknown error");
    }
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace kb::win
