// The window base every form and custom control of the launcher derives from.
//
// One static window procedure stores the C++ object at WM_NCCREATE and routes
// every message to the virtual HandleMessage.  No C++ exception ever unwinds
// through Windows: the procedure stops it and hands it to the error reporter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kb::win {

// Shows an error that reached the message loop; the program keeps running.
// The application installs its own (the launcher's error box); the default
// shows a plain message box.
using ErrorReporter = std::function<void(const std::string& sjisText)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::string& sjisText);

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
  // owner, shows the window, and returns the result passed to EndModal.
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
