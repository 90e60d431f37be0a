#include "win/popup_menu.h"

#include "win/text.h"

namespace kb::win {
namespace {
constexpr UINT kClickMessage = WM_APP + 1;
}

TPopupMenu::TPopupMenu() = default;

TPopupMenu::~TPopupMenu() {
  // A client may remove itself (or another) while it is told: work on a copy.
  const auto clients = std::move(freeClients_);
  freeClients_.clear();
  for (const auto& [client, onFree] : clients) {
    if (onFree) onFree();
  }
}

TMenuItem& TPopupMenu::Add(std::string sjisCaption, std::function<void()> onClick) {
  return items_.emplace_back(std::move(sjisCaption), std::move(onClick));
}

int TPopupMenu::Popup(int x, int y, HWND owner) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return -1;
  for (size_t i = 0; i < items_.size(); ++i) {
    const TMenuItem& item = items_[i];
    if (item.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | (item.Enabled ? 0 : MF_GRAYED), i + 1,
                  Widen(item.Caption).c_str());
    }
  }
  // A menu whose owner is not the foreground window stays open when the user
  // clicks elsewhere, and one popped up from a notification-area icon closes
  // at once on the second opening unless a message follows it: the two rules
  // Windows documents for tray menus.
  SetForegroundWindow(owner);
  const int chosen = static_cast<int>(TrackPopupMenuEx(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y,
      owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen <= 0) return -1;
  PostClick(chosen - 1);
  return chosen - 1;
}

void TPopupMenu::PostClick(int index) {
  if (!sink_.hwnd()) sink_.Create(L"TPopupMenuSink", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
  if (sink_.hwnd()) PostMessageW(sink_.hwnd(), kClickMessage, static_cast<WPARAM>(index), 0);
}

void TPopupMenu::Click(int index) {
  if (index < 0 || index >= Count()) return;
  TMenuItem& item = items_[static_cast<size_t>(index)];
  if (item.IsSeparator() || !item.Enabled || !item.OnClick) return;
  auto handler = item.OnClick;  // the handler may replace itself
  handler();
}

void TPopupMenu::FreeNotification(const void* client, std::function<void()> onFree) {
  freeClients_[client] = std::move(onFree);
}

void TPopupMenu::RemoveFreeNotification(const void* client) { freeClients_.erase(client); }

LRESULT TPopupMenu::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kClickMessage) {
    owner_.Click(static_cast<int>(wParam));
    return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

}  // namespace kb::win
