// The launcher's message dialogs, drawn by the program itself: the system's
// message box shows a full-width "キャンセル", the launcher's dialogs need the
// half-width "ｷｬﾝｾﾙ" and captions naming the kind of message.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kb::win {

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Window class of the dialog, for code and tests that look for it.
inline constexpr wchar_t kMessageFormClass[] = L"TMessageForm";

// Shows sjisText (lines joined with a carriage return, 0x0D) modally, centred
// on the screen, captioned by its kind ("警告" "ｴﾗｰ" "情報" "確認").  Buttons
// "はい(&Y)" "いいえ(&N)" "OK" "ｷｬﾝｾﾙ" carry the ids IDYES IDNO IDOK
// IDCANCEL.  Returns mrYes, mrNo, mrOk or mrCancel.  Enter answers with the
// first button; Escape and closing the window answer with "ｷｬﾝｾﾙ" when it is
// offered, else "いいえ(&N)", else "OK".
// With closeBoxCancels, closing the window (its close box, Alt+F4) answers
// mrCancel even where no "ｷｬﾝｾﾙ" is offered, so a caller can tell a notice
// closed that way from one confirmed; Escape still answers as above.
int MessageDlg(HWND owner, const std::string& sjisText, MsgKind kind, MsgButtons buttons,
               bool closeBoxCancels = false);

// A plain error box with OK and a caption chosen by the caller (the
// launcher's error box is captioned "Kobarune").
void ErrorBox(HWND owner, const std::string& sjisCaption, const std::string& sjisText);

// The dialog's fixed texts (Shift-JIS), shared with tests.
std::string CaptionOf(MsgKind kind);
std::string ButtonText(int buttonId);
std::vector<int> ButtonIds(MsgButtons buttons);

// Splits a message at carriage returns (a CR LF pair counts once).
std::vector<std::string> SplitMessageLines(const std::string& sjisText);

}  // namespace kb::win
