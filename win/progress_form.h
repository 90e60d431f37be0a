// The small progress window shown while the registration dialog reads every
// icon of an icon file: "しばらくおまちください", a label and a bar.
#pragma once

#include <windows.h>

#include <string>

#include "win/controls.h"
#include "win/window.h"

namespace kb {

class TFProge : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TFProge";
  static constexpr int kClientWidth = 311, kClientHeight = 109;

  TFProge() = default;
  ~TFProge() override;

  // Creates the window (hidden), centred on the screen, owned by `owner`.
  // Throws std::runtime_error when Windows refuses.
  // `dpi` scales its sizes (those of 96 dpi).
  void Create(HWND owner, int dpi = 96);
  // Shows the window without waiting for anything.
  void Show();

  // Sets Label2 to the percent in decimal followed by "% 完了" and the bar to
  // the same position (clamped to 0 … 100), and repaints at once, without
  // giving the message loop a turn.
  void SetProgress(int percent);

  win::Label Label1;
  win::Label Label2;
  win::ProgressBar ProgressBar1;

 private:
  void Repaint();
};

// The text of Label2 for a percent: "33% 完了".
std::string ProgressText(int percent);

}  // namespace kb
