// What a group button of the bar and a program button of the group window
// have in common: a 38 × 38 glyph button carrying one launch record, its own
// 32 × 32 glyph bitmap (the record's icon, also kept in the icon store), a
// hint, and the way a record and its icon are made from a dropped file.
#pragma once

#include <windows.h>

#include <string>

#include "model/dpi_scale.h"
#include "model/launch_data.h"
#include "win/glyph_button.h"

namespace kb::win {

class ShellAccess;

class LaunchButton : public GlyphButton {
 public:
  static constexpr int kGlyphSize = 32;

  // The accessible name of a button whose record has no name.
  static constexpr char kUnnamedText[] = "未登録";

  explicit LaunchButton(int tag) : tag_(tag) { SetUnnamedText(kUnnamedText); }
  // The window goes first: it must never paint a freed glyph.
  ~LaunchButton() override;

  int Tag() const { return tag_; }

  // The record (a group's FPFileName is unused; ShowName is the hint).
  TLaunchData Entry;
  // Set while a record is being rebuilt (a paste, a cancelled dialog):
  // SetFromFile then keeps the names and program data and only makes the icon.
  bool KeepFields = false;

  // The 32 × 32 glyph: the icon as the icon store keeps it.
  HBITMAP GlyphBitmap() const { return glyphBitmap_; }
  // The glyph on the screen: the 32 × 32 one at 96 dpi, else one of the
  // scaled size, drawn from the record's icon file at that size (its own
  // larger image where it has one) or, when the file has no icon, the 32 ×
  // 32 glyph enlarged.
  HBITMAP ShownGlyph() const { return shownGlyph_ ? shownGlyph_ : glyphBitmap_; }
  // The scale the button is made and drawn at (its size is 38 × 38 scaled;
  // the caller places it).  The shown glyph is made again.
  void SetScale(DpiScale scale);
  DpiScale Scale() const { return scale_; }
  int ScaledSize() const { return scale_(kSize); }
  // Its pixels, for IconStore::CopyCellToGlyph (null before Create).
  uint32_t* GlyphPixels() const { return glyphPixels_; }
  // Shows the glyph bitmap again after it was drawn into (or its record
  // changed): at another scale than 96 dpi the shown glyph is made anew.
  void GlyphChanged();

  // Makes the record and the icon from a file (a shortcut is resolved).
  virtual void SetFromFile(const std::string& path);
  // Takes target, working folder and show command from a shortcut (resolved
  // without any search dialog); false when its working folder could not be
  // read.  On failure the record is left as it was.
  bool ResolveShortcut(const std::string& path);
  // Draws `icon` (if any) into the glyph, shows it and keeps it in the icon
  // store.
  void SetIconGlyph(HICON icon);

 protected:
  // Creates the window with a blank glyph bitmap (button face) and registers
  // it as a drop target.  Throws std::runtime_error naming `name`.
  void CreateButton(HWND parent, int x, int y, const std::string& name);

  // The shell the button resolves shortcuts through (a test may replace it).
  virtual ShellAccess& Shell() = 0;
  // Copies the glyph into the button's cell of the icon store.
  virtual void StoreGlyph() = 0;
  // The icon the record itself names, taken before the record changes; the
  // caller destroys it.  nullptr: the file's shell icon is used.
  virtual HICON RecordIcon() = 0;
  // After a shortcut's target was taken into the record.
  virtual void ShortcutResolved() {}

 private:
  void MakeShownGlyph();

  int tag_;
  DpiScale scale_;
  HBITMAP shownGlyph_ = nullptr;  // only at a scale other than 96 dpi
  HBITMAP glyphBitmap_ = nullptr;
  uint32_t* glyphPixels_ = nullptr;
};

}  // namespace kb::win
