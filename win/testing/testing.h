// Helpers for tests that drive real windows under Wine: answer a modal dialog
// from outside its loop, pump messages, wait for a condition, drop files and
// click with the mouse by posted messages.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kb::win::testing {

// What a dialog showed when it was answered.
struct SeenDialog {
  std::string caption;
  std::string className;
  std::vector<std::string> texts;  // static texts, in creation order
  std::vector<std::pair<int, std::string>> buttons;  // id, caption
};

// Watches, on a thread of its own, for a visible, enabled top-level window of
// this process with the given caption (class "TMessageForm" or "#32770", or
// any class when the caption matches), records what it shows, then runs
// `action` on it (from the watching thread: post, do not send).  Destroying
// the watch stops it.
class DialogWatch {
 public:
  using Action = std::function<void(HWND dialog)>;
  DialogWatch(std::string sjisCaption, Action action, DWORD timeoutMs);
  ~DialogWatch();
  DialogWatch(const DialogWatch&) = delete;
  DialogWatch& operator=(const DialogWatch&) = delete;

  bool Fired() const { return fired_; }
  SeenDialog Seen() const;
  // The dialog's static texts joined with CR, as a message is written.
  std::string ShownText() const;
  std::string ButtonCaption(int id) const;

 private:
  void Run(DWORD timeoutMs);

  std::string caption_;
  Action action_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> fired_{false};
  mutable std::mutex mutex_;
  SeenDialog seen_;
  std::thread thread_;
};

// Clicks (BM_CLICK) the dialog's button with that id.
std::unique_ptr<DialogWatch> AnswerDialogLater(const std::string& sjisCaption, int buttonId,
                                               DWORD timeoutMs = 5000);

// Presses a key (WM_KEYDOWN/WM_KEYUP posted to the dialog's focused control,
// or its child with id focusId when nothing has the focus yet).
std::unique_ptr<DialogWatch> PressKeyInDialogLater(const std::string& sjisCaption, UINT virtualKey,
                                                   int focusId, DWORD timeoutMs = 5000);

// Dispatches this thread's messages for about `ms` milliseconds.
void PumpMessagesFor(DWORD ms);

// Pumps messages until predicate() holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs = 3000);

// An HDROP as the shell hands it over (wide names, so it does not depend on
// the ANSI code page).  The receiver frees it with DragFinish.
HDROP MakeDropHandle(const std::vector<std::string>& sjisPaths, POINT point = {0, 0});

// Posts WM_DROPFILES to hwnd (same process only: an HDROP means nothing in
// another process).
void PostDrop(HWND hwnd, const std::vector<std::string>& sjisPaths, POINT point = {0, 0});

enum class Button { Left, Right, Middle };

// Posts a button press at client point `down` and its release at `up`
// (extraKeys: MK_SHIFT, MK_CONTROL).
void PostClick(HWND hwnd, Button button, POINT down, POINT up, WPARAM extraKeys = 0);
inline void PostClick(HWND hwnd, Button button = Button::Left, WPARAM extraKeys = 0) {
  PostClick(hwnd, button, {5, 5}, {5, 5}, extraKeys);
}

// The window's text in Shift-JIS.
std::string ReadWindowText(HWND hwnd);

// The first top-level visible window of this process with that class and
// (when given) caption.
HWND FindOwnWindow(const wchar_t* className, const std::string& sjisCaption = {});

}  // namespace kb::win::testing
