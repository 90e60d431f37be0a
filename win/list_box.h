// A list box of Shift-JIS items.  The list keeps the items where they are
// inserted (the caller decides the order), notifies its parent of selection
// changes (LBN_SELCHANGE) and reports released keys to a handler.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/controls.h"

namespace kb::win {

class ListBox : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height, bool visible = true);

  int Count() const;
  std::string Item(int index) const;
  std::vector<std::string> Items() const;
  // Inserts at index (-1: at the end); returns the item's index.
  int Insert(int index, const std::string& sjisItem);
  void Delete(int index);
  void Clear();
  int SelectedIndex() const;  // -1: none
  void SetSelectedIndex(int index);
  void SetItemHeight(int height);
  int ItemHeight() const;

  // Called with the virtual key whenever a key is released while the list
  // has the focus.
  void SetOnKeyUp(std::function<void(WPARAM key)> handler);

 private:
  static LRESULT CALLBACK KeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self);
  std::function<void(WPARAM)> onKeyUp_;
};

}  // namespace kb::win
