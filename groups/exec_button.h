// A program button of the group window: slot `Tag()` of the group the window
// shows.  A left click starts the slot's program through the shell, Shift +
// click copies the slot and the next click pastes it, files dropped on it
// register a program, are copied into a folder entry or are handed to the
// program as parameters.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "launcher/model/launch_data.h"
#include "win/glyph_button.h"

namespace kb {

class App;
class TSubForm;

class TExecButton : public win::GlyphButton {
 public:
  static constexpr int kGlyphSize = 32;

  TExecButton(TSubForm& form, App& app, int tag);
  ~TExecButton() override;

  // Creates the button window inside the group window with its own glyph
  // bitmap (button face) and registers it as a drop target.  Throws
  // std::runtime_error when Windows refuses.
  void Create(HWND parent, int x, int y);

  int Tag() const { return tag_; }
  std::string Name() const { return "Button" + std::to_string(tag_); }

  // The slot's record, copied in from the table by the group window.
  TLaunchData Entry;
  // Set while a pasted record builds its icon: SetFromFile then keeps the
  // names and program data and only rebuilds the icon.
  bool KeepFields = false;

  HBITMAP GlyphBitmap() const { return glyphBitmap_; }
  // Shows the glyph bitmap again after it was drawn into.
  void GlyphChanged();

  // The hint (the slot's display name); the tool tip takes it over when the
  // pointer reaches the button.
  void SetHint(const std::string& sjisText);
  const std::string& Hint() const { return hint_; }
  void ApplyHint();

  // Makes the record and the icon from a file (a shortcut is resolved).
  void SetFromFile(const std::string& path);
  // Takes target, working folder and show command from a shortcut; false
  // when it cannot be read.  The record is left as it was then.
  bool ResolveShortcut(const std::string& path);
  // Draws icon (if any) into the glyph, shows it and copies it into the icon
  // store cell of this slot in the current group.
  void SetIconGlyph(HICON icon);

 protected:
  void MouseUp(win::MouseButton button, WPARAM keys, int x, int y) override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void LeftClick(WPARAM keys);
  void Launch();
  void FilesDropped(HDROP drop);
  void CopyIntoFolder(HDROP drop);
  HICON IconFor();

  TSubForm& form_;
  App& app_;
  int tag_;
  HBITMAP glyphBitmap_ = nullptr;
  std::string hint_;
  std::string appliedHint_;  // the text the tool tip holds
};

}  // namespace kb
