// Shell calls the launcher's buttons make: icons, display names, dropped
// names and starting programs.  Texts are Shift-JIS; each call converts at the
// boundary and calls the W function.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kb::win {

// The icon at `index` of a file, or nullptr when it has none (ExtractIconW's
// "not an icon file" value 1 counts as none).  The caller destroys it.
HICON ExtractIconFrom(const std::string& file, int index);

// The icon at `index` of a file at size x size pixels, taken from the
// file's own image of that size where it has one (PrivateExtractIcons picks
// the closest and scales only when it must); nullptr when the file has no
// icons.  The caller destroys it.
HICON ExtractIconSized(const std::string& file, int index, int size);

// Number of icons in a file (0 for a missing file or one without icons).
int IconCount(const std::string& file);

// The shell's icon and display name of a path; nullopt when the shell does
// not know the path (its icon field may then hold a stale handle, so the
// result of the call decides, not the icon).  Throws UnrepresentableName when
// the display name has no Shift-JIS form.
struct ShellFileInfo {
  HICON icon = nullptr;  // owned by the caller
  std::string displayName;
};
std::optional<ShellFileInfo> QueryShellFileInfo(const std::string& path);

// Draws `icon` onto a 32 x 32 glyph bitmap the way every glyph of the
// launcher is made: button-face background, the icon's image, and the
// bottom-left pixel set to the button face (a glyph's transparent colour).
void DrawIconGlyph(HBITMAP glyph, HICON icon);
// The same on a size x size glyph, the icon drawn at that size.
void DrawIconGlyph(HBITMAP glyph, HICON icon, int size);

// Fills a glyph bitmap (of any size) with the button face.
void FillGlyph(HBITMAP glyph);

// Draws a 32 x 32 glyph enlarged onto a size x size one, each pixel
// repeated (no blending: the transparent corner keeps its exact colour).
// For an icon whose file is gone, only its stored 32 x 32 image is left.
void StretchGlyph(HBITMAP source, HBITMAP target, int size);

// A width x height top-down 32-bit DIB section (rows of 0x00RRGGBB pixels,
// neither filled nor cleared); `pixels` receives them.  nullptr when refused.
HBITMAP CreateTopDownDib(int width, int height, uint32_t** pixels);

// A new 32 x 32 bitmap filled with the button face: a top-down 32-bit DIB
// section, the icon store's own format.  `pixels`, when given, receives its
// 32 rows of 32 pixels (0x00RRGGBB), for IconStore::CopyCellToGlyph.
HBITMAP CreateBlankGlyph(uint32_t** pixels = nullptr, int size = 32);

// Dropped names.  The launcher reads a dropped name as through a buffer of
// 255 characters; a name that does not fit is refused with DroppedNameTooLong
// rather than cut into the name of some other file.  A name without a
// Shift-JIS form throws UnrepresentableName.
class DroppedNameTooLong : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
UINT DroppedCount(HDROP drop);
std::string DroppedName(HDROP drop, UINT index);
std::vector<std::string> DroppedNames(HDROP drop);

// Finishes a drop however the handler leaves; Finish() ends it early.
class DropHandle {
 public:
  explicit DropHandle(HDROP drop) : drop_(drop) {}
  ~DropHandle() { Finish(); }
  DropHandle(const DropHandle&) = delete;
  DropHandle& operator=(const DropHandle&) = delete;
  void Finish() {
    if (drop_) DragFinish(drop_);
    drop_ = nullptr;
  }

 private:
  HDROP drop_;
};

// Destroys an icon the caller owns (nullptr is allowed).
class OwnedIcon {
 public:
  explicit OwnedIcon(HICON icon) : icon_(icon) {}
  ~OwnedIcon() {
    if (icon_) DestroyIcon(icon_);
  }
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  HICON get() const { return icon_; }

 private:
  HICON icon_;
};

// What the launcher asks of the shell when it starts something or reads a
// shortcut.  The buttons call it through this class so a test can watch the
// calls or replace what Wine cannot do (Wine's link object forgets a link's
// show command).
struct ShortcutTarget {
  std::string path;        // GetPath, UNC form preferred
  std::string workingDir;  // GetWorkingDirectory
  int showCmd = SW_SHOWNORMAL;
  bool workingDirRead = false;  // whether GetWorkingDirectory succeeded
};

// Whether resolving a shortcut may show the shell's search for a moved
// target.  Never while a drop is handled.
enum class LinkUi { Allowed, Never };

class ShellAccess {
 public:
  virtual ~ShellAccess() = default;
  // ShellExecute with the verb "Open"; the result is not examined.
  virtual void Open(HWND owner, const std::string& file, const std::string& parameters,
                    const std::string& directory, int showCmd);
  // Loads and resolves a shortcut; nullopt when the link object is missing,
  // the file cannot be loaded or the link cannot be resolved.
  virtual std::optional<ShortcutTarget> ResolveLink(HWND owner, const std::string& linkPath,
                                                    LinkUi ui);
};

}  // namespace kb::win
