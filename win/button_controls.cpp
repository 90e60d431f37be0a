#include "win/button_controls.h"

namespace kb::win {

bool RadioButton::Create(HWND parent, int id, int x, int y, int width, int height,
                         const std::string& sjisCaption, bool firstOfGroup) {
  return CreateChild(L"BUTTON",
                     WS_VISIBLE | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0),
                     0, parent, id, x, y, width, height, sjisCaption);
}

bool RadioButton::Checked() const {
  return hwnd() && SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::SetChecked(bool checked) {
  if (hwnd()) SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool GroupBox::Create(HWND parent, int id, int x, int y, int width, int height,
                      const std::string& sjisCaption) {
  return CreateChild(L"BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, parent, id, x, y, width, height,
                     sjisCaption);
}

}  // namespace kb::win
