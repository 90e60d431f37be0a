// A group button of the main bar: group `Tag()` of the launcher.  It shows
// the group's icon (its own 32 × 32 glyph bitmap, copied from the icon store)
// and the group's name as its hint, accepts dropped files and carries the
// group's record.  The button's name "Button" + tag is also the group's
// section in the settings file.
#pragma once

#include <windows.h>
#include <shellapi.h>  // HDROP

#include <functional>
#include <string>

#include "launcher/model/launch_data.h"
#include "win/glyph_button.h"

namespace kb {

class App;

class TGroupButton : public win::GlyphButton {
 public:
  static constexpr int kGlyphSize = 32;

  TGroupButton(App& app, int tag);
  ~TGroupButton() override;

  // Creates the button on the bar at (x, y), 38 × 38, with its own glyph
  // bitmap (plain button face until an icon is drawn into it) and registered
  // as a drop target.  Throws std::runtime_error when Windows refuses.
  void Create(HWND bar, int x, int y);

  int Tag() const { return tag_; }
  // "Button" + tag: the component name and the settings section.
  std::string Name() const;

  // The group's record (FPFileName is unused for groups; ShowName is the hint).
  TLaunchData Entry;
  // Set while the registration dialog edits this button: its fields are kept
  // when the dialog is cancelled.
  bool KeepFields = false;

  // The button's own 32 × 32 glyph bitmap.  Draw into it (or copy a store
  // cell into it) and call GlyphChanged() to show the result.
  HBITMAP GlyphBitmap() const { return glyphBitmap_; }
  void GlyphChanged();

  // The tool-tip text (Shift-JIS); the group's ShowName.
  void SetHint(const std::string& sjisText);
  const std::string& Hint() const { return hint_; }

  // Mouse moves over the button count as moves over the bar (the bar's hover
  // handling): called with the position in the bar's client coordinates.
  std::function<void(int x, int y)> OnBarMouseMove;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Files dropped on the button (WM_DROPFILES); the handler owns the drop.
  virtual void FilesDropped(HDROP drop);
  // Opens, closes or moves the group window, or copies the group.
  void MouseUp(win::MouseButton button, WPARAM keys, int x, int y) override;

  App& app_;

 private:
  void ForwardMouseMove(LPARAM lParam);

  int tag_;
  HBITMAP glyphBitmap_ = nullptr;
  std::string hint_;
};

}  // namespace kb
