#include "win/file_copy.h"
#include "model/overwrite_question.h"
#include "win/message_dlg.h"
#include "win/window.h"

namespace kb {

bool CopyFileConfirmed(HWND owner, const std::string& source, const std::string& destination) {
  const std::optional<std::int64_t> destinationAge = FileAge(destination);
  if (destinationAge) {
    const std::int64_t sourceAge = FileAge(source).value_or(0);
    if (owner) SetForegroundWindow(owner);
    const std::string text = OverwriteQuestion(sourceAge, *destinationAge, source);
    if (win::MessageDlg(owner, text, win::MsgKind::Confirmation,
                        win::MsgButtons::OkCancel) != win::mrOk) {
      return false;
    }
  }
  return CopyFileSafely(source, destination);
}

}  // namespace kb
