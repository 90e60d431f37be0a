// Thin wrappers over the standard controls the forms are built from.  Each
// one creates its child window with the UI font and reads and writes its text
// as Shift-JIS.  The wrappers do not own the parent; a child window goes away
// with its parent or with the wrapper, whichever is first.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kb::win {

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND hwnd() const { return hwnd_; }
  int Id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }

  std::string Text() const;                 // Shift-JIS
  void SetText(const std::string& sjisText);

  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetVisible(bool visible);
  bool Visible() const;
  void SetBounds(int x, int y, int width, int height);
  RECT Bounds() const;  // relative to the parent
  void Focus();

 protected:
  bool CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, int id,
                   int x, int y, int width, int height, const std::string& sjisText = {});

 private:
  HWND hwnd_ = nullptr;
};

// Static text.  "&" is shown as is unless withPrefix is set.  A width or
// height of 0 sizes the label to its text (one line).
class Label : public Control {
 public:
  bool Create(HWND parent, int x, int y, int width, int height, const std::string& sjisText,
              bool withPrefix = false, int id = 0);
};

class Edit : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height);
  void SelectAll();
};

// A standard push button (BS_PUSHBUTTON / BS_DEFPUSHBUTTON).
class PushButton : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height,
              const std::string& sjisCaption, bool isDefault = false);
};

class CheckBox : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height,
              const std::string& sjisCaption);
  bool Checked() const;
  void SetChecked(bool checked);
};

class ComboBox : public Control {
 public:
  enum class Kind {
    DropDownList,       // fixed list, no typing
    DropDownEditable,   // an edit field with a drop-down list
    OwnerDrawnList,     // fixed list drawn by the parent (WM_DRAWITEM)
  };
  // `itemHeight` applies to OwnerDrawnList (the items and the selection
  // field); the list drops down `dropHeight` pixels.
  bool Create(HWND parent, int id, Kind kind, int x, int y, int width, int dropHeight,
              int itemHeight = 0);

  int Add(const std::string& sjisItem);  // index of the new item
  void Clear();
  int Count() const;
  std::string Item(int index) const;
  int SelectedIndex() const;   // -1: none
  void SetSelectedIndex(int index);
  int ItemHeight() const;
};

class ProgressBar : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height);
  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  int Position() const;
};

// A raised frame painted by its parent in WM_PAINT (it has no window, so it
// never covers the controls it groups).
class Bevel {
 public:
  Bevel() = default;
  explicit Bevel(RECT bounds) : bounds_(bounds) {}
  void SetBounds(int x, int y, int width, int height) { bounds_ = {x, y, x + width, y + height}; }
  RECT Bounds() const { return bounds_; }
  void Paint(HDC dc) const;

 private:
  RECT bounds_{};
};

// Routes a parent's WM_COMMAND and WM_DRAWITEM to handlers by control id; the
// parent form calls Dispatch from its HandleMessage.
class ControlRouter {
 public:
  using CommandHandler = std::function<void(int notifyCode)>;
  using DrawHandler = std::function<void(const DRAWITEMSTRUCT&)>;

  // Every WM_COMMAND of control `id`.
  void OnCommand(int id, CommandHandler handler);
  // One notification code of control `id` only (BN_CLICKED, CBN_SELCHANGE ...).
  void OnNotify(int id, int notifyCode, std::function<void()> handler);
  void OnDrawItem(int id, DrawHandler handler) { draws_[id] = std::move(handler); }

  // True when the message was for a registered control and was handled.
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static constexpr int kAnyCode = -1;
  std::multimap<int, std::pair<int, CommandHandler>> commands_;
  std::map<int, DrawHandler> draws_;
};

}  // namespace kb::win
