// A group button of the main bar: group `Tag()` of the launcher.  It shows
// the group's icon (its own glyph, also kept in column 0 of the icon store)
// and the group's name as its hint, accepts dropped files and carries the
// group's record.  The button's name "Button" + tag is also the group's
// section in the settings file.  What a click or a drop does involves the
// group window too, so the button hands both to GroupButtonEvents.
#pragma once

#include <windows.h>
#include <shellapi.h>  // HDROP

#include <functional>
#include <string>

#include "win/launch_button.h"

namespace kb {

class IconStore;
class TGroupButton;
namespace win {
class ShellAccess;
}

// Implemented by the application, which knows the group window.
class GroupButtonEvents {
 public:
  virtual ~GroupButtonEvents() = default;
  // A mouse button released over the button: open or close the group
  // window, copy the group, or register it.
  virtual void GroupButtonMouseUp(TGroupButton& button, win::MouseButton which, WPARAM keys) = 0;
  // Files dropped on the button; the handler owns the drop.
  virtual void GroupButtonFilesDropped(TGroupButton& button, HDROP drop) = 0;
  // Open the group window of the button's group, as a left click on it
  // opens it (also when that window shows the group already).
  virtual void GroupButtonOpen(TGroupButton& button) { (void)button; }
};

class TGroupButton : public win::LaunchButton {
 public:
  // `events` and `shell` are the bar's; both outlive the button.
  TGroupButton(int tag, IconStore& icons, GroupButtonEvents*& events, win::ShellAccess*& shell)
      : LaunchButton(tag), icons_(icons), events_(events), shell_(shell) {}

  // Creates the button on the bar at (x, y), 38 × 38.  Throws
  // std::runtime_error when Windows refuses.
  void Create(HWND bar, int x, int y) { CreateButton(bar, x, y, Name()); }

  // "Button" + tag: the component name and the settings section.
  std::string Name() const;

  // Shows the record's icon again (from IconFile, or a blank face) and its
  // name as the hint, keeping the record as it is.
  void RefreshGlyph();

  // Mouse moves over the button count as moves over the bar (the bar's hover
  // handling): called with the position in the bar's client coordinates.
  std::function<void(int x, int y)> OnBarMouseMove;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void MouseUp(win::MouseButton button, WPARAM keys, int x, int y) override;
  win::ShellAccess& Shell() override { return *shell_; }
  void StoreGlyph() override;
  HICON RecordIcon() override;
  // A group keeps the shortcut's target as its icon source.
  void ShortcutResolved() override { Entry.IconFile = Entry.FPFileName; }

 private:
  void ForwardMouseMove(LPARAM lParam);

  IconStore& icons_;
  GroupButtonEvents*& events_;
  win::ShellAccess*& shell_;
};

}  // namespace kb
