// The controls of the settings dialog's pages that the window layer has no
// wrapper for: the page control with its sheets, radio groups, a spin edit,
// a bevelled panel, a paint box and a picture of an icon.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win/controls.h"
#include "win/window.h"

namespace kb {

// A window that holds controls and hands their notifications (WM_COMMAND,
// WM_NOTIFY) to the form it sits on, so the form sees every control of every
// page as its own.  It takes part in the dialog keys (WS_EX_CONTROLPARENT).
// A panel draws a raised bevel around its client area.
class ControlHost : public win::Window {
 public:
  enum class Look { Plain, Bevelled };
  ~ControlHost() override { Destroy(); }
  bool Create(HWND parent, HWND form, int x, int y, int width, int height, Look look = Look::Plain);
  void SetVisible(bool visible) { ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND form_ = nullptr;
  Look look_ = Look::Plain;
};

// The page control: tabs on top, one sheet per tab, the sheet of the active
// tab shown.  The tab control's parent gets TCN_SELCHANGE and calls Changed.
class PageControl : public win::Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height);
  // Adds a tab and its sheet; sheets are made in tab order.
  ControlHost& AddPage(const std::string& sjisCaption);
  int PageCount() const { return static_cast<int>(sheets_.size()); }
  ControlHost& Page(int index) { return *sheets_.at(static_cast<size_t>(index)); }
  std::string PageCaption(int index) const;
  int ActivePage() const;
  // Selects a tab as a click would, without the change notification.
  void SetActivePage(int index);
  // Shows the active tab's sheet and hides the others (after TCN_SELCHANGE).
  void Changed();

 private:
  RECT SheetBounds() const;

  HWND form_ = nullptr;
  std::vector<std::unique_ptr<ControlHost>> sheets_;
};

// A captioned frame of radio buttons in columns, like a radio group of the
// forms: items are numbered from 0, and ItemIndex is -1 when none is checked.
// The buttons carry the ids firstId, firstId + 1, … and sit beside the frame
// on the same parent, so their clicks reach the form.
class RadioGroup {
 public:
  bool Create(HWND parent, int frameId, int firstId, int x, int y, int width, int height,
              const std::string& sjisCaption, const std::vector<std::string>& sjisItems,
              int columns);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  HWND Frame() const { return frame_.hwnd(); }
  HWND Item(int index) const { return items_.at(static_cast<size_t>(index))->hwnd(); }
  std::string Caption() const { return frame_.Text(); }
  void SetHelpContext(DWORD context);

 private:
  class FrameBox : public win::Control {
   public:
    bool Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text);
  };
  class RadioItem : public win::Control {
   public:
    bool Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text,
                bool first);
  };
  FrameBox frame_;
  std::vector<std::unique_ptr<RadioItem>> items_;
};

// A number field with up and down arrows at the right end of its bounds, holding a value
// within [minimum, maximum].  Typed text is kept within the range when the
// field loses the focus and whenever the value is read.
class SpinEdit {
 public:
  bool Create(HWND parent, int editId, int x, int y, int width, int height, int minimum,
              int maximum, int value);
  int Value() const;
  void SetValue(int value);
  void SetEnabled(bool enabled);
  bool Enabled() const { return edit_.Enabled(); }
  HWND EditWindow() const { return edit_.hwnd(); }
  HWND Arrows() const { return arrows_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  // The form calls it for EN_KILLFOCUS of the field.
  void FieldLeft() { SetValue(Value()); }

 private:
  class Field : public win::Control {
   public:
    bool Create(HWND parent, int id, int x, int y, int width, int height);
  };
  Field edit_;
  HWND arrows_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 0;
};

// A surface the form paints on (OnPaint with the window's DC in WM_PAINT)
// and that reports a left click (button released over it).
class PaintBox : public win::Window {
 public:
  ~PaintBox() override { Destroy(); }
  bool Create(HWND parent, int x, int y, int width, int height);
  std::function<void(HDC dc)> OnPaint;
  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool pressed_ = false;
};

// An icon drawn stretched to the control's size; it does not own the icon.
class IconImage : public win::Window {
 public:
  ~IconImage() override { Destroy(); }
  bool Create(HWND parent, int x, int y, int width, int height, HICON icon, bool visible);
  HICON Icon() const { return icon_; }
  void SetVisible(bool visible) { ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  HICON icon_ = nullptr;
};

}  // namespace kb
