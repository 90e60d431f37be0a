// The first start's note: a small window beside the bar that tells a new
// user how to begin (register by dropping, the registration dialog, the
// settings, the help).  It takes no activation, closes at a click or by
// itself after a while, and never covers the bar.
#pragma once

#include <windows.h>

#include <string>

#include "win/timer.h"
#include "win/window.h"

namespace kb {

class TStartNote : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TStartNote";
  static constexpr UINT kShownMilliseconds = 60000;

  TStartNote();
  ~TStartNote() override;

  // The note's text (Shift-JIS, lines joined with CR LF).
  static const std::string& Text();

  // Shows the note, owned by the bar, beside the bar at edge `type`.
  // Throws std::runtime_error when Windows refuses the window.
  void Show(HWND bar, int type, int screenWidth, int screenHeight);
  // Closes the note for good; nothing when it is closed already.
  void Close();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();

  win::Timer closeTimer_;
};

}  // namespace kb
