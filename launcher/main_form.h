// The main bar: the launcher's main window, a borderless strip 38 pixels
// thick along one whole edge of the screen carrying the settings button, the
// group buttons, the help button and the scroll buttons.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "launcher/core/bar_layout.h"
#include "launcher/core/scroll_state.h"
#include "launcher/group_button.h"
#include "launcher/model/launch_data.h"
#include "win/glyph_button.h"
#include "win/window.h"

namespace kb {

class App;

class TMainForm : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TMainForm";
  // Help context numbers of the bar's controls.
  static constexpr int kHelpContextBar = 1, kHelpContextScroll = 2, kHelpContextHelp = 5;

  explicit TMainForm(App& app);
  ~TMainForm() override;

  // Creates the bar (hidden) owned by the application window; FormCreate
  // runs while it is created.  Throws std::runtime_error when Windows refuses.
  void Create(HWND applicationWindow);
  // Shows the bar (FormShow).
  void Show();

  // --- Start-up and close (called in this order by the window's life) -----
  void FormCreate();
  void FormShow();
  void FormActivate();
  // The save sequence of every close; throws kb::WriteError when the system
  // refuses a write: the close is then abandoned.
  void FormCloseQuery();
  void FormClose();
  void FormDestroy();

  // --- Layout ---------------------------------------------------------------
  void PlaceBar();
  void CreateGroupButtons();
  void CreateGroupButton(int k, const Box& box);
  void PlaceHelpAndScroll(int n);
  void LoadGroupEntries();
  void LoadIconStore();
  void ApplyGroupGlyphs();
  void SaveIconStore();

  // --- Controls -------------------------------------------------------------
  void SpeedButton1Click();
  void SclLeftClick();
  void SclRightClick();
  void SclUpClick();
  void SclDownClick();

  // Group button k (1 … 40), nullptr when it does not exist.
  TGroupButton* GroupButton(int k) const;
  // The records of group buttons 1 … GroupCount (an empty record where a
  // button does not exist).
  std::vector<TLaunchData> GroupEntries() const;

  // The scrolling state.  The settings dialog's reset sets it (scrolled with
  // n slots); the scroll buttons then move it.
  const ScrollState& Scroll() const { return scroll_; }
  void SetScroll(const ScrollState& state);
  int ScrollFirst() const { return scroll_.scrollFirst; }
  int SlotCount() const { return scroll_.slotCount; }
  bool BarDocked = false;

  win::GlyphButton SpeedButton1;
  win::GlyphButton HelpBtn;
  win::GlyphButton SclLeft, SclRight, SclUp, SclDown;

  // Runs after the window is gone (the application ends its loop).
  std::function<void()> OnDestroyed;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnNcDestroy() override;

 private:
  enum : int { kIdSettings = 100, kIdHelp, kIdSclLeft, kIdSclRight, kIdSclUp, kIdSclDown };

  void CreateOwnButtons();
  void ScrollBackClick();
  void ScrollForwardClick();
  void ApplyScrollButtons();
  void Relayout();
  void FreeGroupButtons();
  void QueryEndSession();
  std::string IconStorePath() const;

  App& app_;
  std::array<std::unique_ptr<TGroupButton>, kMaxGroupButtons> groupButtons_;
  ScrollState scroll_;
};

}  // namespace kb
