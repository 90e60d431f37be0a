#include "win/message_dlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <string>
#include <vector>

#include "win/testing/testing.h"
#include "win/tests/test_host.h"
#include "win/text.h"

namespace kb::win::tests {
namespace {

using testing::AnswerDialogLater;
using testing::DialogWatch;
using testing::PressKeyInDialogLater;

TEST(MessageDlgTexts, LinesSplitAtCarriageReturn) {
  EXPECT_EQ(SplitMessageLines("一行\r二行"), (std::vector<std::string>{"一行", "二行"}));
  EXPECT_EQ(SplitMessageLines("a\r\nb\r"), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(SplitMessageLines(""), (std::vector<std::string>{""}));
  // "表" carries 0x5C, "ソ" carries 0x5C too: no byte of theirs splits a line.
  EXPECT_EQ(SplitMessageLines("表ソ"), (std::vector<std::string>{"表ソ"}));
}

TEST(MessageDlg, CaptionNamesTheKindAndAnswerIsTheClickedButton) {
  struct Case {
    MsgKind kind;
    const char* caption;
  };
  const Case cases[] = {{MsgKind::Warning, "警告"},
                        {MsgKind::Error, "ｴﾗｰ"},
                        {MsgKind::Information, "情報"},
                        {MsgKind::Confirmation, "確認"}};
  for (const auto& c : cases) {
    auto watch = AnswerDialogLater(c.caption, IDOK);
    EXPECT_EQ(MessageDlg(nullptr, "本文", c.kind, MsgButtons::Ok), mrOk) << c.caption;
    EXPECT_TRUE(watch->Fired()) << c.caption;
    EXPECT_EQ(watch->Seen().className, "TMessageForm");
    EXPECT_EQ(watch->ShownText(), "本文");
  }
}

TEST(MessageDlg, ButtonsCarryTheFixedTextsAndIds) {
  auto watch = AnswerDialogLater("確認", IDNO);
  EXPECT_EQ(MessageDlg(nullptr, "削除しますか?", MsgKind::Confirmation, MsgButtons::YesNoCancel), mrNo);
  ASSERT_TRUE(watch->Fired());
  const auto seen = watch->Seen();
  ASSERT_EQ(seen.buttons.size(), 3u);
  EXPECT_EQ(seen.buttons[0].first, IDYES);
  EXPECT_EQ(seen.buttons[1].first, IDNO);
  EXPECT_EQ(seen.buttons[2].first, IDCANCEL);
  EXPECT_EQ(Widen(seen.buttons[0].second), Widen("はい(&Y)"));
  EXPECT_EQ(Widen(seen.buttons[1].second), Widen("いいえ(&N)"));
  EXPECT_EQ(Widen(seen.buttons[2].second), Widen("ｷｬﾝｾﾙ"));
  EXPECT_EQ(std::string("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9") << "half-width katakana bytes";

  for (int id : {IDYES, IDCANCEL}) {
    auto w = AnswerDialogLater("確認", id);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNoCancel), id);
  }
  auto ok = AnswerDialogLater("警告", IDCANCEL);
  EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Warning, MsgButtons::OkCancel), mrCancel);
  EXPECT_EQ(ok->ButtonCaption(IDOK), "OK");
}

TEST(MessageDlg, CarriageReturnTextIsShownAsLinesAndSizesTheDialog) {
  std::atomic<int> shortWidth{0}, longWidth{0}, shortHeight{0}, twoLineHeight{0};
  auto measure = [](std::atomic<int>& width, std::atomic<int>* height, int answer) {
    return [&width, height, answer](HWND dialog) {
      RECT r;
      GetWindowRect(dialog, &r);
      width = r.right - r.left;
      if (height) *height = r.bottom - r.top;
      PostMessageW(GetDlgItem(dialog, answer), BM_CLICK, 0, 0);
    };
  };
  {
    DialogWatch w("情報", measure(shortWidth, &shortHeight, IDOK), 5000);
    MessageDlg(nullptr, "短い", MsgKind::Information, MsgButtons::Ok);
  }
  {
    DialogWatch w("情報", measure(longWidth, nullptr, IDOK), 5000);
    MessageDlg(nullptr, std::string(120, 'W'), MsgKind::Information, MsgButtons::Ok);
  }
  std::string shown;
  {
    // Enough lines that they must outgrow the icon beside them.
    DialogWatch w("情報", measure(shortWidth, &twoLineHeight, IDOK), 5000);
    MessageDlg(nullptr, "一行目\r二行目\r三行目\r四行目\r五行目", MsgKind::Information, MsgButtons::Ok);
    ASSERT_TRUE(w.Fired());
    shown = w.ShownText();
    EXPECT_EQ(w.Seen().texts.size(), 5u);
  }
  EXPECT_EQ(shown, "一行目\r二行目\r三行目\r四行目\r五行目");
  EXPECT_GT(longWidth.load(), shortWidth.load());
  EXPECT_GT(twoLineHeight.load(), shortHeight.load());
}

TEST(MessageDlg, LongLineWrapsInsteadOfOutgrowingTheScreen) {
  std::string words;
  for (int i = 0; i < 80; ++i) words += "ﾌｧｲﾙ名 ";
  std::atomic<int> width{0}, height{0}, labelHeight{0};
  DialogWatch w(
      "警告",
      [&](HWND d) {
        RECT r;
        GetWindowRect(d, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        if (HWND label = FindWindowExW(d, nullptr, L"Static", nullptr)) {
          // The first static is the icon; the text follows it.
          if (HWND text = FindWindowExW(d, label, L"Static", nullptr)) {
            GetWindowRect(text, &r);
            labelHeight = r.bottom - r.top;
          }
        }
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
      },
      5000);
  MessageDlg(nullptr, words, MsgKind::Warning, MsgButtons::Ok);
  ASSERT_TRUE(w.Fired());
  EXPECT_LE(width.load(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(labelHeight.load(), 20) << "the line wraps onto more than one row";
  EXPECT_EQ(w.ShownText(), words);
}

TEST(MessageDlg, EscapeAndCloseGiveTheCancelLikeAnswerEnterTheFirstButton) {
  {
    auto w = PressKeyInDialogLater("確認", VK_ESCAPE, IDYES);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNoCancel), mrCancel);
  }
  {
    auto w = PressKeyInDialogLater("確認", VK_ESCAPE, IDYES);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNo), mrNo);
  }
  {
    auto w = PressKeyInDialogLater("確認", VK_RETURN, IDYES);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNo), mrYes);
  }
  {
    DialogWatch w("警告", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, 5000);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Warning, MsgButtons::OkCancel), mrCancel);
  }
  {
    DialogWatch w("確認", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, 5000);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNo), mrNo);
  }
}

TEST(MessageDlg, ANoticeThatAsksForItTellsTheCloseBoxFromItsButtonAndEscape) {
  struct Case { bool closeBoxCancels; bool closeBox; int expected; };
  const Case cases[] = {{true, true, mrCancel}, {false, true, mrOk}, {true, false, mrOk}};
  for (const Case& c : cases) {
    DialogWatch w("情報", [&c](HWND d) {
      if (c.closeBox) {
        PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Escape
      }
    }, 5000);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Information, MsgButtons::Ok, c.closeBoxCancels),
              c.expected) << c.closeBoxCancels << c.closeBox;
    EXPECT_TRUE(w.Fired());
  }
}

TEST(MessageDlg, QuitDuringAYesNoQuestionAnswersNoAndIsPassedOn) {
  DialogWatch w("確認", [](HWND d) { PostThreadMessageW(GetWindowThreadProcessId(d, nullptr), WM_QUIT, 3, 0); }, 5000);
  EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNo), mrNo);
  ASSERT_TRUE(w.Fired());
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the outer loop still ends";
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(MessageDlg, ModalToItsOwnerAndCentredOnTheScreen) {
  TestHost host;
  std::atomic<bool> ownerEnabledDuring{true};
  std::atomic<int> centreX{0}, centreY{0};
  DialogWatch w(
      "警告",
      [&](HWND d) {
        ownerEnabledDuring = IsWindowEnabled(host.hwnd()) != FALSE;
        RECT r;
        GetWindowRect(d, &r);
        centreX = (r.left + r.right) / 2;
        centreY = (r.top + r.bottom) / 2;
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
      },
      5000);
  EXPECT_EQ(MessageDlg(host.hwnd(), "x", MsgKind::Warning, MsgButtons::Ok), mrOk);
  ASSERT_TRUE(w.Fired());
  EXPECT_FALSE(ownerEnabledDuring.load());
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
  EXPECT_NEAR(centreX.load(), GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY.load(), GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(testing::FindOwnWindow(kMessageFormClass), nullptr) << "the dialog is gone";
}

// The stay-on-top group window beside the bar must not take clicks while a
// question of the launcher is up: every visible window of the thread is
// disabled, not only the owner, and afterwards exactly those come back.
TEST(MessageDlg, DisablesEveryOtherWindowOfTheThreadAndGivesBackExactlyThose) {
  TestHost owner, groupWindow, alreadyDisabled;
  EnableWindow(alreadyDisabled.hwnd(), FALSE);
  std::atomic<bool> ownerEnabled{true}, groupWindowEnabled{true};
  DialogWatch w(
      "確認",
      [&](HWND d) {
        ownerEnabled = IsWindowEnabled(owner.hwnd()) != FALSE;
        groupWindowEnabled = IsWindowEnabled(groupWindow.hwnd()) != FALSE;
        PostMessageW(GetDlgItem(d, IDYES), BM_CLICK, 0, 0);
      },
      5000);
  EXPECT_EQ(MessageDlg(owner.hwnd(), "x", MsgKind::Confirmation, MsgButtons::YesNo), mrYes);
  ASSERT_TRUE(w.Fired());
  EXPECT_FALSE(ownerEnabled.load());
  EXPECT_FALSE(groupWindowEnabled.load());
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(groupWindow.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(alreadyDisabled.hwnd())) << "not enabled by the dialog";
}

TEST(ErrorBox, CaptionFromCallerWithOneOkButton) {
  auto w = AnswerDialogLater("Kobarune", IDOK);
  ErrorBox(nullptr, "Kobarune", "壊れた値");
  ASSERT_TRUE(w->Fired());
  const auto seen = w->Seen();
  ASSERT_EQ(seen.buttons.size(), 1u);
  EXPECT_EQ(seen.buttons[0].second, "OK");
  EXPECT_EQ(w->ShownText(), "壊れた値");
}

TEST(MessageDlg, AmpersandInTheTextIsShownNotAnAccelerator) {
  std::atomic<bool> noPrefix{false};
  DialogWatch w(
      "情報",
      [&](HWND d) {
        HWND label = FindWindowExW(d, nullptr, L"Static", L"A&B");
        noPrefix = label && (GetWindowLongPtrW(label, GWL_STYLE) & SS_NOPREFIX);
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
      },
      5000);
  MessageDlg(nullptr, "A&B", MsgKind::Information, MsgButtons::Ok);
  EXPECT_EQ(w.ShownText(), "A&B");
  EXPECT_TRUE(noPrefix.load());
}

}  // namespace
}  // namespace kb::win::tests

namespace kb::win::tests {
namespace {

// Alt+letter as the keyboard sends it: the system key message and its
// character, posted to the control with the focus.
testing::DialogWatch::Action PressAlt(wchar_t letter, int focusId) {
  return [letter, focusId](HWND d) {
    HWND target = GetDlgItem(d, focusId);
    constexpr LPARAM kAltDown = 1 | (1 << 29);
    PostMessageW(target, WM_SYSKEYDOWN, static_cast<WPARAM>(towupper(letter)), kAltDown);
    PostMessageW(target, WM_SYSCHAR, letter, kAltDown);
    PostMessageW(target, WM_SYSKEYUP, static_cast<WPARAM>(towupper(letter)), kAltDown | 0xC0000000);
  };
}

TEST(MessageDlg, AltAcceleratorsAnswerYesAndNo) {
  {
    testing::DialogWatch w("確認", PressAlt(L'n', IDYES), 5000);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNoCancel), mrNo);
  }
  {
    testing::DialogWatch w("確認", PressAlt(L'y', IDNO), 5000);
    EXPECT_EQ(MessageDlg(nullptr, "x", MsgKind::Confirmation, MsgButtons::YesNo), mrYes);
  }
}

}  // namespace
}  // namespace kb::win::tests
