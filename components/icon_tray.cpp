#include "components/icon_tray.h"

#include <atomic>

#include "common/path.h"
#include "win/text.h"

namespace kb {
namespace {

// The shell broadcasts this message to every top-level window when it has
// (re)started; icons registered with the old shell are gone.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

UINT NextIdentifier() {
  static std::atomic<UINT> counter{0};
  return ++counter;
}

bool KeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

TShiftState CurrentShiftState() {
  struct Key {
    int virtualKey;
    TShiftState flag;
  };
  static constexpr Key kKeys[] = {{VK_SHIFT, ssShift},     {VK_CONTROL, ssCtrl},
                                  {VK_MENU, ssAlt},        {VK_LBUTTON, ssLeft},
                                  {VK_RBUTTON, ssRight},   {VK_MBUTTON, ssMiddle}};
  TShiftState shift = 0;
  for (const Key& key : kKeys) {
    if (KeyDown(key.virtualKey)) shift |= key.flag;
  }
  return shift;
}

}  // namespace

bool TrayShell::NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  return Shell_NotifyIconW(message, &data) != FALSE;
}

TIconTray::TIconTray(HWND ownerForm) : ownerForm_(ownerForm), id_(NextIdentifier()) {
  // A hidden top-level window rather than a message-only one: only
  // top-level windows hear the shell's restart broadcast, and a menu popped
  // up from the icon needs an owner that can take the foreground.
  window_.Create(L"TIconTrayWindow", WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, 0, 0, nullptr);
}

TIconTray::~TIconTray() {
  try {
    UpdateIcon(false);
  } catch (const EIconTrayError&) {
    // The shell refused to drop the icon; it goes when this window goes.
  }
  if (lMenu_) lMenu_->RemoveFreeNotification(this);
  if (rMenu_ && rMenu_ != lMenu_) rMenu_->RemoveFreeNotification(this);
  if (icon_) DestroyIcon(icon_);
}

void TIconTray::Loaded() {
  if (HideMainForm && ownerForm_) {
    ShowWindow(ownerForm_, SW_HIDE);
    if (HWND application = GetWindow(ownerForm_, GW_OWNER)) ShowWindow(application, SW_HIDE);
  }
  UpdateIcon(true);
}

void TIconTray::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : nullptr;
  if (icon_) DestroyIcon(icon_);
  icon_ = copy;
  UpdateIcon(true);
}

void TIconTray::SetHint(const std::string& sjisHint) {
  if (sjisHint == hint_) return;
  hint_ = std::string(CutToBytes(sjisHint, kMaxHintBytes));
  UpdateIcon(true);
}

void TIconTray::SetShowHint(bool showHint) {
  if (showHint == showHint_) return;
  showHint_ = showHint;
  UpdateIcon(true);
}

void TIconTray::SetLBtnPopupMenu(win::TPopupMenu* menu) { SetMenu(lMenu_, menu); }
void TIconTray::SetRBtnPopupMenu(win::TPopupMenu* menu) { SetMenu(rMenu_, menu); }

void TIconTray::SetMenu(win::TPopupMenu*& slot, win::TPopupMenu* menu) {
  win::TPopupMenu* old = slot;
  slot = menu;
  if (old && old != lMenu_ && old != rMenu_) old->RemoveFreeNotification(this);
  if (menu) menu->FreeNotification(this, [this, menu] { MenuFreed(menu); });
}

void TIconTray::MenuFreed(win::TPopupMenu* menu) {
  if (lMenu_ == menu) lMenu_ = nullptr;
  if (rMenu_ == menu) rMenu_ = nullptr;
}

void TIconTray::SetShell(TrayShell* shell) { shell_ = shell ? shell : &realShell_; }

void TIconTray::FillNotifyData() {
  data_ = NOTIFYICONDATAW{};
  // The first layout of the structure: every shell since the first knows it,
  // and its 64-character tip holds the 63 bytes of the hint.
  data_.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data_.hWnd = window_.hwnd();
  data_.uID = id_;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kCallbackMessage;
  data_.hIcon = icon_;
  if (showHint_) {
    const std::wstring tip = win::Widen(hint_);
    tip.copy(data_.szTip, 63);
  }
}

void TIconTray::UpdateIcon(bool show) {
  if (show && !icon_) show = false;
  wanted_ = show;
  if (show) {
    FillNotifyData();
    if (!shell_->NotifyIcon(shown_ ? NIM_MODIFY : NIM_ADD, data_)) throw EIconTrayError();
  } else if (shown_) {
    if (!shell_->NotifyIcon(NIM_DELETE, data_)) throw EIconTrayError();
  }
  shown_ = show;
}

void TIconTray::ShellRestarted() {
  // Also an icon the shell refused before it was ready.
  if (!wanted_) return;
  // A new shell knows none of the old icons; a shell that only announced
  // itself again still has it, and takes a modification instead.
  FillNotifyData();
  shown_ = shell_->NotifyIcon(NIM_ADD, data_) || shell_->NotifyIcon(NIM_MODIFY, data_);
  // A shell still starting may refuse both; its next broadcast tries again.
  if (shown_ && OnTaskbarCreated) OnTaskbarCreated();
}

void TIconTray::TrayWndProc(LPARAM mouseAction) {
  POINT p{};
  GetCursorPos(&p);
  const TShiftState shift = CurrentShiftState();
  auto down = [&](TMouseButton button, TShiftState extra) {
    if (OnMouseDown) OnMouseDown(button, shift | extra, p.x, p.y);
  };
  auto up = [&](TMouseButton button) {
    if (OnMouseUp) OnMouseUp(button, shift, p.x, p.y);
  };
  switch (static_cast<UINT>(mouseAction)) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(shift, p.x, p.y);
      break;
    case WM_LBUTTONDOWN: down(TMouseButton::mbLeft, 0); break;
    case WM_LBUTTONUP:
      if (OnClick) OnClick();
      up(TMouseButton::mbLeft);
      PopupMenu(lMenu_);
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick();
      down(TMouseButton::mbLeft, ssDouble);
      break;
    case WM_RBUTTONDOWN: down(TMouseButton::mbRight, 0); break;
    case WM_RBUTTONUP:
      up(TMouseButton::mbRight);
      PopupMenu(rMenu_);
      break;
    case WM_RBUTTONDBLCLK: down(TMouseButton::mbRight, ssDouble); break;
    case WM_MBUTTONDOWN: down(TMouseButton::mbMiddle, 0); break;
    case WM_MBUTTONUP: up(TMouseButton::mbMiddle); break;
    case WM_MBUTTONDBLCLK: down(TMouseButton::mbMiddle, ssDouble); break;
    default: break;
  }
}

void TIconTray::PopupMenu(win::TPopupMenu* menu) {
  if (!menu || !menu->AutoPopup) return;
  // A button of the owner that holds the mouse would keep it through the menu.
  if (ownerForm_) SendMessageW(ownerForm_, WM_CANCELMODE, 0, 0);
  POINT p{};
  GetCursorPos(&p);
  menu->Popup(p.x, p.y, window_.hwnd());
}

LRESULT TIconTray::MessageWindowImpl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kCallbackMessage) {
    owner_.TrayWndProc(lParam);
    return 0;
  }
  if (msg == TaskbarCreatedMessage()) {
    owner_.ShellRestarted();
    return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

}  // namespace kb
