// A program button of the group window: slot `Tag()` of the group the window
// shows.  A left click starts the slot's program through the shell, Shift +
// click copies the slot and the next click pastes it, files dropped on it
// register a program, are copied into a folder entry or are handed to the
// program as parameters.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/launch_button.h"

namespace kb {

class TSubForm;

class TExecButton : public win::LaunchButton {
 public:
  TExecButton(TSubForm& form, int tag) : LaunchButton(tag), form_(form) {
    OnKeyDown = [this](WPARAM key, bool system) { return KeyDown(key, system); };
  }

  // Creates the button window inside the group window.  Throws
  // std::runtime_error when Windows refuses.
  void Create(HWND parent, int x, int y) { CreateButton(parent, x, y, Name()); }

  std::string Name() const { return "Button" + std::to_string(Tag()); }

  // Makes the record and the icon from a file; the group window's hints are
  // switched on from then.
  void SetFromFile(const std::string& path) override;

 protected:
  void MouseUp(win::MouseButton button, WPARAM keys, int x, int y) override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  win::ShellAccess& Shell() override;
  // The cell of this slot in the group the window shows.
  void StoreGlyph() override;
  HICON RecordIcon() override;

 private:
  void LeftClick(int group, WPARAM keys);
  bool KeyDown(WPARAM key, bool system);
  void RegisterByKeyboard();
  void Launch(int group);
  void FilesDropped(HDROP drop);
  void CopyIntoFolder(HDROP drop);

  TSubForm& form_;
};

}  // namespace kb
