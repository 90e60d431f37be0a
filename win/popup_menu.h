// A pop-up menu as the forms use it: items with Shift-JIS captions and click
// handlers, popped up at a screen position.
//
// A chosen item's handler runs after the menu has closed and after the code
// that popped it up has returned, from a message posted to the menu's own
// window.  An item may therefore end the very window that asked for the
// menu ("終了" in a tray menu closes the program) without pulling it away
// from under a running window procedure.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "win/window.h"

namespace kb::win {

class TMenuItem {
 public:
  explicit TMenuItem(std::string sjisCaption, std::function<void()> onClick = {})
      : Caption(std::move(sjisCaption)), OnClick(std::move(onClick)) {}

  // "-" makes the item a separator.
  std::string Caption;
  std::function<void()> OnClick;
  bool Enabled = true;

  bool IsSeparator() const { return Caption == "-"; }
};

class TPopupMenu {
 public:
  TPopupMenu();
  // Tells every client that asked for a free notification.
  virtual ~TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;

  // Appends an item; the reference stays valid as long as the menu.
  TMenuItem& Add(std::string sjisCaption, std::function<void()> onClick = {});
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& Item(int index) { return items_.at(static_cast<size_t>(index)); }

  // When off, the owners of the menu do not pop it up.
  bool AutoPopup = true;

  // Shows the menu with its top-left corner at the screen point (x, y),
  // owned by `owner`, and returns when it has closed.  The chosen item's
  // handler is posted, not run here.  Returns the chosen item's index, or -1.
  virtual int Popup(int x, int y, HWND owner);

  // Runs item `index`'s handler the way a choice in the open menu does:
  // posted, after the caller has returned.
  void PostClick(int index);

  // `onFree` runs when the menu is destroyed; a client that goes first
  // removes itself.
  void FreeNotification(const void* client, std::function<void()> onFree);
  void RemoveFreeNotification(const void* client);

 private:
  class Sink : public Window {
   public:
    explicit Sink(TPopupMenu& owner) : owner_(owner) {}
    ~Sink() override { Destroy(); }

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    TPopupMenu& owner_;
  };

  void Click(int index);

  std::deque<TMenuItem> items_;  // a deque keeps references to items valid
  std::map<const void*, std::function<void()>> freeClients_;
  Sink sink_{*this};
};

}  // namespace kb::win
