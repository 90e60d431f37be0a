// The launcher's help behind F1 and the bar's help button, and the first
// start's note.
#include <windows.h>

#include "app/app.h"
#include "common/identity.h"
#include "launcher/main_form.h"
#include "launcher/start_note.h"

namespace kb {
namespace {

// The window a message about the help belongs to: the one the user works
// in (a dialog, the group window or the bar), else the application's.
HWND OwnerFor(HWND control, HWND fallback) {
  HWND root = control ? GetAncestor(control, GA_ROOT) : nullptr;
  return root && IsWindowVisible(root) ? root : fallback;
}

}  // namespace

void App::ShowContextHelp(HWND control) {
  const win::HelpFiles files(ExeDir, WinHelpAvailable);
  win::ShowHelp(OwnerFor(control, ApplicationHandle()),
                files.ForContext(kHelpFileName, win::ContextOf(control)), kHelpFileName, helpCall_);
}

void App::ShowHelpContents() {
  const win::HelpFiles files(ExeDir, WinHelpAvailable);
  HWND owner = mainForm_ && mainForm_->Visible() ? mainForm_->hwnd() : ApplicationHandle();
  win::ShowHelp(owner, files.ForContext(kHelpFileName, 0), kHelpFileName, helpCall_);
}

void App::ShowStartNote() {
  // Once, on a start without a settings file, after the bar and the
  // windows behind it (whichever comes last).
  if (!firstStart_ || !options_.firstStartNote || startNote_) return;
  startNote_ = std::make_unique<TStartNote>();
  startNote_->Show(mainForm_->hwnd(), settings.Type, screenWidth, screenHeight);
}

TStartNote* App::StartNote() { return startNote_ && startNote_->hwnd() ? startNote_.get() : nullptr; }

void App::CloseStartNote() {
  if (startNote_) startNote_->Close();
}

}  // namespace kb
