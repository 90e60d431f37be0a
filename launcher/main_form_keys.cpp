// The bar and the keyboard: moving the focus along the bar, and opening the
// group window without the mouse.
#include "launcher/main_form.h"

#include <algorithm>

#include "model/keyboard_nav.h"

namespace kb {

void TMainForm::TakeKeys(win::GlyphButton& button) {
  button.OnKeyDown = [this, &button](WPARAM key, bool system) {
    return !system && BarKey(button, key);
  };
}

bool TMainForm::BarKey(const win::GlyphButton& from, WPARAM key) {
  int delta = 0;
  if (key == VK_LEFT || key == VK_UP) delta = -1;
  if (key == VK_RIGHT || key == VK_DOWN) delta = +1;
  if (delta == 0) return false;
  BarFocus focus;
  if (&from == &HelpBtn) {
    focus.control = BarControl::Help;
  } else if (&from == &SclLeft || &from == &SclUp) {
    focus.control = BarControl::Back;
  } else if (&from == &SclRight || &from == &SclDown) {
    focus.control = BarControl::Forward;
  } else if (&from != &SpeedButton1) {
    for (int k = 1; k <= kMaxGroupButtons; ++k) {
      if (GroupButton(k) == &from) focus = {BarControl::Group, k};
    }
  }
  const int groups = std::min<int>(state_.settings.GroupCount, CreatedGroupButtons());
  const BarFocusStep step = StepBarFocus(scroll_, groups, focus, delta);
  if (step.scroll < 0) ScrollBackClick();
  if (step.scroll > 0) ScrollForwardClick();
  const bool horizontal = IsHorizontalEdge(state_.settings.Type);
  win::GlyphButton* target = &SpeedButton1;
  switch (step.focus.control) {
    case BarControl::Settings: break;
    case BarControl::Group: target = GroupButton(step.focus.group); break;
    case BarControl::Help: target = &HelpBtn; break;
    case BarControl::Back: target = horizontal ? &SclLeft : &SclUp; break;
    case BarControl::Forward: target = horizontal ? &SclRight : &SclDown; break;
  }
  if (target && target->hwnd()) SetFocus(target->hwnd());
  return true;
}

void TMainForm::RevealGroupButton(int k) {
  if (scroll_.slotCount <= 0) return;
  bool moved = false;
  while (k < scroll_.scrollFirst && scroll_.backEnabled) {
    ScrollBack(scroll_);
    moved = true;
  }
  while (k >= scroll_.scrollFirst + scroll_.slotCount && scroll_.forwardEnabled) {
    ScrollForward(scroll_);
    moved = true;
  }
  if (!moved) return;
  ApplyScrollButtons();
  Relayout();
}

bool TMainForm::OpenLastGroup() {
  int k = groupWindow_ ? groupWindow_->ShownGroup() : 0;
  if (k < 1 || k > state_.settings.GroupCount || !GroupButton(k)) k = 1;
  TGroupButton* button = GroupButton(k);
  if (!button || k > state_.settings.GroupCount) return false;
  if (collapsed_) ExpandBar();
  RevealGroupButton(k);
  if (groupEvents_) groupEvents_->GroupButtonOpen(*button);
  return true;
}

}  // namespace kb
