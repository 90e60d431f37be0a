// TFileDrop: makes one window a target for files dragged from the shell and
// reports each drop as a list of full paths with the drop point.
//
// The component subclasses its target window (the control it is given, or
// else its owner form once Loaded() has run) and handles WM_DROPFILES there;
// every other message goes on to the window's own procedure.  The target
// window is not owned: when it is destroyed the component lets go of it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace kb {

class TFileDrop {
 public:
  // Sender, Num (number of files), Files (full paths, Shift-JIS, in the
  // order the shell gives them), X and Y (the drop point in the target's
  // client coordinates).  The list lives for the call only.
  using TFileDropEvent = std::function<void(TFileDrop& sender, int num,
                                            const std::vector<std::string>& files, int x, int y)>;

  // `ownerForm`: the form the component belongs to; it becomes the target
  // when no control is set.  May be null.
  explicit TFileDrop(HWND ownerForm);
  virtual ~TFileDrop();
  TFileDrop(const TFileDrop&) = delete;
  TFileDrop& operator=(const TFileDrop&) = delete;

  // Called once the owner is complete: without a control the owner form
  // becomes the target.  Throws std::runtime_error ("Invalidate Window
  // Handle in FileDrop") when there is neither.
  void Loaded();

  bool Accept() const { return accept_; }
  // Registers or withdraws the hooked window as a drop target; nothing
  // happens when the value does not change.
  void SetAccept(bool accept);

  HWND Control() const { return control_; }
  // Unhooks the current target and hooks the new one (null: the owner form,
  // or nothing when there is no owner).  Throws like Loaded().
  void SetControl(HWND control);

  // The window whose messages the component sees now; null when none.
  HWND HookedWindow() const { return hooked_; }

  TFileDropEvent OnFileDrop;

 protected:
  virtual void DoFileDrop(HDROP drop);
  virtual void HookControl();
  virtual void UnhookControl();

 private:
  static LRESULT CALLBACK DropWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
  HWND Target() const;
  void ControlDestroyed();

  HWND owner_;
  bool accept_ = true;
  HWND control_ = nullptr;
  HWND hooked_ = nullptr;
};

}  // namespace kb
