// An owner-drawn push button with a glyph: the bitmap buttons of the bar, the
// group window and the dialogs.
//
// The colour of a glyph image's bottom-left pixel is transparent, so a glyph
// whose corner is set to the button face shows the face around its picture.
// A glyph bitmap may hold two images side by side (normal, then disabled);
// with one image the disabled look is embossed from its shape.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/window.h"

namespace kb::win {

enum class MouseButton { Left, Right, Middle };

class GlyphButton : public Window {
 public:
  static constexpr int kSize = 38;  // the bar's and group window's buttons
  static constexpr wchar_t kClassName[] = L"TGlyphButton";

  GlyphButton() = default;
  ~GlyphButton() override;

  // Creates the child window; id is the control id its WM_COMMAND carries;
  // `style` adds to WS_CHILD (without WS_VISIBLE the button starts hidden,
  // with WS_DISABLED disabled).
  bool Create(HWND parent, int x, int y, int width = kSize, int height = kSize, int id = 0,
              DWORD exStyle = 0, DWORD style = WS_VISIBLE | WS_TABSTOP);

  // Shows `bitmap` as the glyph; imageCount 1 or 2 (normal + disabled side by
  // side).  The button frees the bitmap only when takeOwnership is set; a
  // caller that keeps ownership must keep it alive while it is shown.
  void SetGlyph(HBITMAP bitmap, int imageCount = 1, bool takeOwnership = false);
  HBITMAP Glyph() const { return glyph_; }
  int ImageCount() const { return imageCount_; }

  // Caption drawn beside the glyph (Shift-JIS; "&" marks the accelerator).
  void SetCaption(const std::string& sjisCaption);
  std::string Caption() const { return caption_; }

  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetVisible(bool visible);

  // The cursor over this button (nullptr: the arrow).  Applied at once when
  // the pointer is over the button.
  void SetCursor(HCURSOR cursor);
  HCURSOR Cursor() const { return cursor_; }

  // The "drag a copy" cursor shown while a copied button waits to be pasted;
  // made once (the system has none).
  static HCURSOR DragCursor();

  // The hint (Shift-JIS; "" for none).  The tool tip takes a changed text
  // over when the pointer first moves over the button: making the tool tip
  // window and registering tools costs more than a launcher start can spare,
  // and a group switch then only copies strings.
  void SetHint(const std::string& sjisText);
  const std::string& Hint() const { return hint_; }

  // The name screen readers give the button: its window text (WM_GETTEXT),
  // which the system's standard accessible object reads.  The caption, else
  // the hint, else this text (Shift-JIS; a button with nothing to show).
  void SetUnnamedText(const std::string& sjisText);
  std::string AccessibleName() const;

  // Marks the button as the dialog's default one (thick frame, Enter).
  void SetDefault(bool isDefault);
  bool IsDefault() const { return default_; }

  // Called on a left click released over the button, on Space, on Enter
  // while it has the focus in a modal form, and on BM_CLICK.  The parent also
  // gets WM_COMMAND(id, BN_CLICKED).
  std::function<void()> OnClick;

  // Presses the button as a left click would.
  void Click();

  // A key pressed while the button has the focus (WM_KEYDOWN, and
  // WM_SYSKEYDOWN with `system` set), before the button's own handling;
  // true when the handler used the key.
  std::function<bool(WPARAM key, bool system)> OnKeyDown;

  // Enter or Space: what a left click released over the button does, the
  // click and then MouseUp with no mouse keys held.
  void KeyboardClick();

  // Whether the focus mark is shown: hidden in a window until the keyboard
  // is used there (or the system's UI state says so, WM_UPDATEUISTATE).
  bool FocusMarkShown() const;
  // The keyboard is in use in the top-level window of `window`: its focus
  // marks show from now on.
  static void ShowFocusMarks(HWND window);

  bool Pressed() const { return pressed_; }
  int Id() const;

  // Draws the whole button into dc (client coordinates).  WM_PAINT uses it;
  // tests draw into a memory DC and look at pixels.
  void PaintContent(HDC dc) const;

  // The WM_PAINT of a parent full of glyph buttons (the group window's
  // strip): its background and `buttons` drawn in one off-screen pass and one
  // blit, and the buttons then marked painted.  Under Wine each button's own
  // WM_PAINT costs about half a millisecond (a device context and a flush of
  // its own), so forty of them took 25 ms where one pass takes 4.  The
  // parent must not clip its children (no WS_CLIPCHILDREN).
  static void PaintInParent(HWND parent, const std::vector<const GlyphButton*>& buttons);

 protected:
  // Every mouse button released after it was pressed on this button, inside
  // or outside; keys are the MK_* flags (MK_SHIFT ...), x and y client
  // coordinates.  Called after OnClick.  Does nothing by default.
  virtual void MouseUp(MouseButton button, WPARAM keys, int x, int y);

  // Subclasses that handle WM_DROPFILES, WM_MOUSEMOVE and the like override
  // this and pass everything else (also WM_MOUSEMOVE) on to it.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnButtonDown(MouseButton button);
  void OnButtonUp(MouseButton button, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(LPARAM lParam);
  void ApplyHint(WPARAM wParam, LPARAM lParam);
  bool Inside(int x, int y) const;
  void SetPressedLook(bool pressed);
  void FreeGlyph();
  void DrawGlyph(HDC dc, int x, int y, int w, int h, bool enabled) const;
  void Paint();
  void UpdateWindowText();
  LRESULT AnswerText(UINT msg, WPARAM wParam, LPARAM lParam);
  void KeyboardUsed();

  HBITMAP glyph_ = nullptr;
  HFONT font_ = nullptr;  // WM_SETFONT's; the UI font when none
  int imageCount_ = 1;
  bool ownsGlyph_ = false;
  std::string caption_;
  std::string hint_;
  std::string appliedHint_;  // the text the tool tip holds
  std::string unnamedText_;
  std::string windowText_;   // the caption last stored as window text
  HCURSOR cursor_ = nullptr;
  bool default_ = false;
  bool pressed_ = false;           // drawn pressed
  bool tracking_ = false;          // a button went down here and is held
  MouseButton trackedButton_ = MouseButton::Left;
};

}  // namespace kb::win
