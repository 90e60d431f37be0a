// TIconTray: one icon in the taskbar's notification area.  Mouse actions on
// the icon become events, and a pop-up menu can be set for the left and for
// the right button.  The component also writes and removes a program's
// start-with-Windows value under the registry's Run key.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "win/popup_menu.h"
#include "win/window.h"

namespace kb {

// A refused change of the icon in the notification area.
class EIconTrayError : public std::runtime_error {
 public:
  EIconTrayError() : std::runtime_error("Registration Error") {}
};

// A Run-key value that could be written nowhere.
class ERunKeyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held down during a mouse action (a set of flags).
using TShiftState = unsigned;
enum : TShiftState {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};

// The component's calls into the shell; a test replaces it to watch what is
// asked for or to make the shell refuse.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // Shell_NotifyIconW; true when the shell accepted.
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data);
};

class TIconTray {
 public:
  // The message the icon's mouse actions arrive with.
  static constexpr UINT kCallbackMessage = WM_USER;
  // The most bytes of the hint the shell gets (a double-byte character is
  // never split, so the tip may keep one byte less).
  static constexpr size_t kMaxHintBytes = 63;

  // `ownerForm` (may be null) is the form the component belongs to: its
  // mouse capture is cancelled before a menu pops up, and HideMainForm hides
  // it and its application window.  Each instance of the process takes the
  // next identifier: the first gets 1.
  explicit TIconTray(HWND ownerForm = nullptr);
  // Removes the icon.  A shell that refuses here is ignored: nothing is left
  // to retry with once the component is gone.
  virtual ~TIconTray();
  TIconTray(const TIconTray&) = delete;
  TIconTray& operator=(const TIconTray&) = delete;

  // Runs once the owner has set the properties: hides the owner when
  // HideMainForm is set, then shows the icon.  Throws EIconTrayError.
  void Loaded();

  // --- Properties (each setter that changes something shows the icon and
  //     throws EIconTrayError when the shell refuses) ------------------------
  // Keeps a copy of `icon`; nullptr empties it, which removes the icon.
  void SetIcon(HICON icon);
  HICON Icon() const { return icon_; }
  // Shift-JIS; kept to its first kMaxHintBytes bytes.
  void SetHint(const std::string& sjisHint);
  const std::string& Hint() const { return hint_; }
  void SetShowHint(bool showHint);
  bool ShowHint() const { return showHint_; }
  // Menus are not owned; a menu that is destroyed is cleared here.
  void SetLBtnPopupMenu(win::TPopupMenu* menu);
  void SetRBtnPopupMenu(win::TPopupMenu* menu);
  win::TPopupMenu* LBtnPopupMenu() const { return lMenu_; }
  win::TPopupMenu* RBtnPopupMenu() const { return rMenu_; }
  bool HideMainForm = false;

  // --- Events (X and Y: the cursor's screen position) -----------------------
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseDown;
  std::function<void(TShiftState, int x, int y)> OnMouseMove;
  std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseUp;
  // After the icon was added again for a shell that has (re)started.
  std::function<void()> OnTaskbarCreated;

  // Registers (show, with an icon), refreshes or removes the icon.  An empty
  // icon counts as a request to remove it.  Throws EIconTrayError when the
  // shell refuses; the shown state then stays as it was.
  void UpdateIcon(bool show);
  bool Shown() const { return shown_; }
  UINT Identifier() const { return id_; }
  HWND MessageWindow() const { return window_.hwnd(); }

  // The program's start-with-Windows value `name` (Shift-JIS): the quoted
  // full path of the running program.  Written under the machine's Run key,
  // or the user's where the machine's cannot be written; throws ERunKeyError
  // when neither can.
  void RegisterRun(const std::string& name);
  // Removes the value from both Run keys; a missing value is no error.
  void UnregisterRun(const std::string& name);

  // Not owned; nullptr restores the real shell.
  void SetShell(TrayShell* shell);

 protected:
  // The Run key under `root`, opened (created when missing) for writing;
  // nullptr when that is refused.  The caller closes it.
  virtual HKEY OpenRunKeyForWriting(HKEY root);

 private:
  class MessageWindowImpl : public win::Window {
   public:
    explicit MessageWindowImpl(TIconTray& owner) : owner_(owner) {}
    ~MessageWindowImpl() override { Destroy(); }

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    TIconTray& owner_;
  };

  void TrayWndProc(LPARAM mouseAction);
  void PopupMenu(win::TPopupMenu* menu);
  void SetMenu(win::TPopupMenu*& slot, win::TPopupMenu* menu);
  void MenuFreed(win::TPopupMenu* menu);
  void ShellRestarted();
  void FillNotifyData();

  HWND ownerForm_;
  UINT id_;
  HICON icon_ = nullptr;
  std::string hint_;
  bool showHint_ = true;
  win::TPopupMenu* lMenu_ = nullptr;
  win::TPopupMenu* rMenu_ = nullptr;
  bool shown_ = false;
  bool wanted_ = false;  // the last request, granted or not
  NOTIFYICONDATAW data_{};
  TrayShell realShell_;
  TrayShell* shell_ = &realShell_;
  MessageWindowImpl window_{*this};
};

}  // namespace kb
