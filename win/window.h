// The window base every form and custom control of the launcher derives from.
//
// One static window procedure stores the C++ object at WM_NCCREATE and routes
// every message to the virtual HandleMessage.  No C++ exception ever unwinds
// through Windows: the procedure stops it at GuardCallback and hands it to
// the error reporter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kb::win {

// Hands on an error that reached a callback; the program keeps running.  The
// application installs its own (it shows the launcher's error box later,
// from its main loop); the default shows a plain message box.  ReportError
// may be called from any thread.
using ErrorReporter = std::function<void(const std::string& sjisText)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::string& sjisText);

// Reports the exception being handled; call it only inside a catch block.
// Never throws.
void ReportCaughtException() noexcept;

// The barrier of every function the system calls: window, dialog, subclass
// and timer procedures, enumeration callbacks, thread entries.  The 32-bit
// build unwinds with DWARF tables, which cannot pass the frames of user32,
// comctl32 or kernel32: an exception leaving such a callback ends the
// program on the spot (the 64-bit build unwinds through them, so only the
// shipped build would show it).  Runs body(); an exception is reported and
// `fallback` returned instead.
template <typename Result, typename Body>
Result GuardCallback(Result fallback, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    ReportCaughtException();
    return fallback;
  }
}

// The same for callbacks without a result.
template <typename Body>
void GuardCallback(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    ReportCaughtException();
  }
}

// True from the moment any window of the launcher is asked whether the
// Windows session may end (WM_QUERYENDSESSION) until the session goes on
// after all (WM_ENDSESSION with FALSE).  Nothing may wait for the user then.
bool SessionEnding();

// Whether `window` is a window of this process (false for nullptr).
bool IsOwnProcessWindow(HWND window);

// While a modal window is up, every other visible, enabled top-level window
// of the thread is disabled (and the modal window's owner, also when it is
// hidden): a click on the bar or the stay-on-top group window would change
// what the dialog works on under its loop.  Exactly the windows it disabled
// are enabled again when it ends.  ShowModal makes one; a caller that shows
// a system dialog (file or folder choice) makes its own around it.
class OtherWindowsDisabled {
 public:
  // `modal`: the window that stays usable (nullptr: none yet, as before a
  // system dialog exists); windows it owns stay usable too.
  explicit OtherWindowsDisabled(HWND modal, HWND owner = nullptr);
  ~OtherWindowsDisabled();
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

  // Enables the windows again now (the destructor then does nothing).
  void Restore();
  const std::vector<HWND>& Disabled() const { return disabled_; }

 private:
  HWND modal_;
  std::vector<HWND> disabled_;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // Registers the class on first use (one class per name, with this base's
  // procedure) and creates the window.  Returns false when Windows refuses.
  bool Create(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int width,
              int height, HWND parent, HMENU menuOrId = nullptr, UINT classStyle = 0,
              HCURSOR cursor = nullptr);

  void Destroy();

  // Runs a modal loop for this (already created, hidden) window: disables the
  // thread's other windows (OtherWindowsDisabled), shows the window, and
  // returns the result passed to EndModal.
  int ShowModal();
  void EndModal(int result);
  bool InModal() const { return inModal_; }

  // Bounds relative to the parent (screen for top-level windows).
  RECT Bounds() const;
  void SetBounds(int x, int y, int width, int height);
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
  // The last message a window receives; the handle is gone after it.
  virtual void OnNcDestroy() {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  bool inModal_ = false;
  bool modalDone_ = false;
  int modalResult_ = 0;
};

// Modal results shared by every dialog of the launcher.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrUpdate = 4, mrYes = 6, mrNo = 7 };

}  // namespace kb::win
