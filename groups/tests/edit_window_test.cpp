// The registration dialog in-process under Wine: its controls, modes, icon
// list, browse buttons and delete button, driven through its controls while
// its modal loop runs.
#include "groups/edit_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include "groups/tests/dialog_steps.h"
#include "win/shell.h"
#include "common/module_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

using test::Click;
using test::RunLater;

std::string ThreeIconProgram() { return kb::ModuleFolder().value() + "three_icons.exe"; }

class RecordingProgress : public IconListProgress {
 public:
  explicit RecordingProgress(std::vector<int>& steps) : steps_(steps) {}
  void Step(int percent) override { steps_.push_back(percent); }

 private:
  std::vector<int>& steps_;
};

// The real progress window, noting what it shows after every step.
class WatchedProgressForm : public ProgressFormProgress {
 public:
  WatchedProgressForm(HWND owner, std::vector<std::string>& seen)
      : ProgressFormProgress(owner), seen_(seen) {}
  void Step(int percent) override {
    ProgressFormProgress::Step(percent);
    if (seen_.empty()) {
      seen_.push_back(win::testing::ReadWindowText(Form().hwnd()));
      seen_.push_back(Form().Label1.Text());
      seen_.push_back(IsWindowVisible(Form().hwnd()) ? "visible" : "hidden");
    }
    seen_.push_back(Form().Label2.Text());
  }

 private:
  std::vector<std::string>& seen_;
};

std::string Caption(const TEditWindow& dialog) { return win::testing::ReadWindowText(dialog.hwnd()); }

uint32_t AsPixel(COLORREF c) {
  return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
  return win::GuardCallback(FALSE, [&] {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
    return TRUE;
  });
}

bool StyleVisible(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ClientBounds(const TEditWindow& dialog, int id) {
  RECT r;
  GetWindowRect(dialog.Control(id), &r);
  MapWindowPoints(HWND_DESKTOP, dialog.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The pixels the dialog shows for an icon: a glyph drawn the launcher's way.
std::vector<uint32_t> GlyphOf(HICON icon) {
  HBITMAP glyph = win::CreateBlankGlyph();
  if (icon) win::DrawIconGlyph(glyph, icon);
  std::vector<uint32_t> pixels = test::BitmapPixels(glyph);
  DeleteObject(glyph);
  return pixels;
}

TEST(EditWindowTest, FormAndControlsSitWhereTheFormPutsThem) {
  TEditWindow dialog(nullptr);
  const RECT window = dialog.Bounds();
  EXPECT_EQ(window.right - window.left, 433);
  EXPECT_EQ(window.bottom - window.top, 331);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - 433) / 2);
  EXPECT_EQ(Caption(dialog), "プログラムの登録");

  struct Place { int id, x, y, w, h; };
  const Place places[] = {
      {TEditWindow::kEdit1, 120, 24, 233, 20},   {TEditWindow::kButton1, 360, 24, 51, 25},
      {TEditWindow::kEdit2, 120, 56, 233, 20},   {TEditWindow::kEdit3, 120, 88, 145, 20},
      {TEditWindow::kEdit4, 120, 120, 233, 20},  {TEditWindow::kButton2, 360, 120, 51, 25},
      {TEditWindow::kCheckBox1, 24, 232, 177, 17}, {TEditWindow::kBitBtn7, 240, 228, 161, 25},
      {TEditWindow::kBitBtn4, 320, 160, 81, 57}, {TEditWindow::kBitBtn1, 168, 272, 75, 25},
      {TEditWindow::kBitBtn2, 256, 272, 75, 25}, {TEditWindow::kBitBtn3, 344, 272, 75, 25},
  };
  for (const Place& p : places) {
    const RECT r = ClientBounds(dialog, p.id);
    EXPECT_EQ(r.left, p.x) << p.id;
    EXPECT_EQ(r.top, p.y) << p.id;
    EXPECT_EQ(r.right - r.left, p.w) << p.id;
    EXPECT_EQ(r.bottom - r.top, p.h) << p.id;
  }
  EXPECT_EQ(ClientBounds(dialog, TEditWindow::kComboBox1).left, 120);
  EXPECT_EQ(ClientBounds(dialog, TEditWindow::kComboBox2).top, 200);
  EXPECT_EQ(ClientBounds(dialog, TEditWindow::kLabel4).left, 24);
  EXPECT_EQ(ClientBounds(dialog, TEditWindow::kLabel4).top, 124);
  const RECT bevel = dialog.Bevel1Bounds();
  EXPECT_EQ(bevel.left, 8);
  EXPECT_EQ(bevel.right, 8 + 409);
  EXPECT_EQ(bevel.bottom, 8 + 257);

  EXPECT_EQ(SendMessageW(dialog.Control(TEditWindow::kComboBox1), CB_GETITEMHEIGHT, 0, 0), 34);
  EXPECT_EQ(win::testing::ReadWindowText(dialog.Control(TEditWindow::kBitBtn4)), "登録削除");
  EXPECT_EQ(win::testing::ReadWindowText(dialog.Control(TEditWindow::kCheckBox1)),
            "起動前バックアップを使用する");
}

TEST(EditWindowTest, TabOrderFollowsTheFieldNumbers) {
  TEditWindow dialog(nullptr);
  const int expected[] = {
      TEditWindow::kEdit1,   TEditWindow::kButton1, TEditWindow::kEdit2,   TEditWindow::kComboBox1,
      TEditWindow::kButton2, TEditWindow::kComboBox2, TEditWindow::kEdit3, TEditWindow::kBitBtn1,
      TEditWindow::kBitBtn2, TEditWindow::kBitBtn3, TEditWindow::kEdit4,   TEditWindow::kBitBtn4,
      TEditWindow::kCheckBox1, TEditWindow::kBitBtn7};
  HWND control = GetNextDlgTabItem(dialog.hwnd(), nullptr, FALSE);
  for (int id : expected) {
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), id);
    control = GetNextDlgTabItem(dialog.hwnd(), control, FALSE);
  }
  EXPECT_EQ(GetDlgCtrlID(control), TEditWindow::kEdit1);  // round again
}

TEST(EditWindowTest, StartStateListHoldsTheFiveItemsAndMapsOtherShowCommands) {
  TEditWindow dialog(nullptr);
  HWND list = dialog.Control(TEditWindow::kComboBox2);
  ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 5);
  dialog.SetExecOption(3);
  EXPECT_EQ(win::testing::ReadWindowText(list), "最大化で起動");
  EXPECT_EQ(dialog.ExecOption(), 3);
  // A shortcut's "minimised, not active" shows as the minimised start.
  dialog.SetExecOption(7);
  EXPECT_EQ(win::testing::ReadWindowText(list), "アイコンで起動");
  EXPECT_EQ(dialog.ExecOption(), 2);
  // A typed text that names no item keeps the item shown before.
  SetWindowTextW(list, win::Widen("最大化").c_str());
  EXPECT_EQ(dialog.ExecOption(), 2);
  SetWindowTextW(list, win::Widen("非表示で起動").c_str());
  EXPECT_EQ(dialog.ExecOption(), 0);
}

TEST(EditWindowTest, GroupModeHidesExactlyTheProgramFieldsAndProgramModeShowsThemAgain) {
  TEditWindow dialog(nullptr);
  const std::set<int> programOnly = {TEditWindow::kLabel1, TEditWindow::kLabel2,
                                     TEditWindow::kEdit1,  TEditWindow::kEdit2,
                                     TEditWindow::kButton1, TEditWindow::kLabel6,
                                     TEditWindow::kComboBox2, TEditWindow::kCheckBox1,
                                     TEditWindow::kBitBtn7};
  std::vector<HWND> children;
  EnumChildWindows(dialog.hwnd(), &CollectChild, reinterpret_cast<LPARAM>(&children));
  ASSERT_GE(children.size(), 20u);

  dialog.SetGroupMode(true);
  EXPECT_EQ(Caption(dialog), "グループの登録");
  int hidden = 0;
  for (HWND child : children) {
    if (GetParent(child) != dialog.hwnd()) continue;  // the combo boxes' own parts
    const int id = GetDlgCtrlID(child);
    EXPECT_EQ(StyleVisible(child), programOnly.count(id) == 0) << id;
    if (!StyleVisible(child)) ++hidden;
  }
  EXPECT_EQ(hidden, 9);

  dialog.SetGroupMode(false);
  EXPECT_EQ(Caption(dialog), "プログラムの登録");
  for (HWND child : children) {
    if (GetParent(child) != dialog.hwnd()) continue;
    EXPECT_TRUE(StyleVisible(child)) << GetDlgCtrlID(child);
  }
}

TEST(EditWindowTest, EmptyFieldsListTheLaunchersOwnIconOnly) {
  TEditWindow dialog(nullptr);
  dialog.InitialIconIndex = 5;  // beyond the list: the first icon is selected
  int iconsSeen = -1;
  int selectionSeen = -1;
  std::string startSeen;
  RunLater([&] {
    iconsSeen = static_cast<int>(SendMessageW(dialog.Control(TEditWindow::kComboBox1), CB_GETCOUNT, 0, 0));
    selectionSeen = static_cast<int>(SendMessageW(dialog.Control(TEditWindow::kComboBox1), CB_GETCURSEL, 0, 0));
    startSeen = win::testing::ReadWindowText(dialog.Control(TEditWindow::kComboBox2));
    Click(dialog.Control(TEditWindow::kBitBtn2));
  });
  test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
  EXPECT_EQ(dialog.Execute(), win::mrCancel);
  EXPECT_EQ(dialog.IconCount(), 1);
  EXPECT_EQ(iconsSeen, 1);
  EXPECT_EQ(selectionSeen, 0);
  EXPECT_EQ(startSeen, "通常の大きさで起動");
  // The test program has no icon resource 1: the system's application icon.
  EXPECT_EQ(test::ImagePixels(dialog.Images(), 0), GlyphOf(LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST(EditWindowTest, FileWithThreeIconsListsThemWithProgressAt33And66And100) {
  TEditWindow dialog(nullptr);
  std::vector<int> steps;
  dialog.SetProgressFactory([&] { return std::make_unique<RecordingProgress>(steps); });
  dialog.SetIconFile(ThreeIconProgram());
  dialog.InitialIconIndex = 2;
  dialog.FormShow();
  EXPECT_EQ(dialog.IconCount(), 3);
  EXPECT_EQ(steps, (std::vector<int>{33, 66, 100}));
  EXPECT_EQ(dialog.IconSelection(), 2);
  // The square icon's green, not a stand-in.
  const std::vector<uint32_t> pixels = test::ImagePixels(dialog.Images(), 1);
  EXPECT_EQ(pixels[16 * 32 + 16], 0x28A028u);
  EXPECT_EQ(pixels[31 * 32 + 0], AsPixel(GetSysColor(COLOR_BTNFACE)));
}

TEST(EditWindowTest, ProgressWindowReadsThePercentOfEachIcon) {
  TEditWindow dialog(nullptr);
  std::vector<std::string> seen;
  dialog.SetProgressFactory(
      [&] { return std::make_unique<WatchedProgressForm>(dialog.hwnd(), seen); });
  dialog.SetIconFile(ThreeIconProgram());
  dialog.FormShow();
  EXPECT_EQ(seen, (std::vector<std::string>{"しばらくおまちください", "ｱｲｺﾝﾃﾞｰﾀ取得中", "visible",
                                            "33% 完了", "66% 完了", "100% 完了"}));
  EXPECT_EQ(win::testing::FindOwnWindow(TFProge::kClassName), nullptr);  // gone afterwards
}

TEST(EditWindowTest, IconItemIsDrawnTwoPixelsDownOnTheListsBackground) {
  TEditWindow dialog(nullptr);
  dialog.SetProgressFactory(nullptr);
  dialog.SetIconFile(ThreeIconProgram());
  dialog.FormShow();
  HDC screen = GetDC(nullptr);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 57, 34);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.CtlID = TEditWindow::kComboBox1;
  item.itemID = 1;
  item.hDC = dc;
  item.rcItem = {0, 0, 57, 34};
  dialog.ComboBox1DrawItem(item);
  SelectObject(dc, old);
  DeleteDC(dc);
  const std::vector<uint32_t> pixels = test::BitmapPixels(canvas, 57, 34);
  DeleteObject(canvas);
  const uint32_t window = AsPixel(GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(pixels[0], window);                         // row 0: background
  EXPECT_EQ(pixels[1 * 57 + 10], window);               // above the image
  EXPECT_EQ(pixels[(2 + 16) * 57 + 16], 0x28A028u);     // the icon, moved down 2
  EXPECT_EQ(pixels[(2 + 31) * 57 + 0], AsPixel(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(pixels[10 * 57 + 40], window);              // right of the image
}

TEST(EditWindowTest, SourceWithoutIconsGivesOneEntry) {
  const std::string document = kb::ModuleFolder().value() + "edit_window_test_note.txt";
  std::ofstream(document) << "no icons here";
  TEditWindow dialog(nullptr);
  std::vector<int> steps;
  dialog.SetProgressFactory([&] { return std::make_unique<RecordingProgress>(steps); });
  dialog.SetFileName(document);  // no icon file: the program is the source
  dialog.FormShow();
  EXPECT_EQ(dialog.IconCount(), 1);
  EXPECT_EQ(SendMessageW(dialog.Control(TEditWindow::kComboBox1), CB_GETCOUNT, 0, 0), 1);
  EXPECT_TRUE(steps.empty());  // no progress window for a single icon

  // A name the shell does not know either: one entry, plain button face.
  dialog.SetIconFile(kb::ModuleFolder().value() + "no such file.exe");
  dialog.FormShow();
  EXPECT_EQ(dialog.IconCount(), 1);
  EXPECT_EQ(test::ImagePixels(dialog.Images(), 0), GlyphOf(nullptr));
  DeleteFileW(win::Widen(document).c_str());
}

TEST(EditWindowTest, BrowsingKeepsTheListForTheSameFileAndRebuildsItForAnother) {
  TEditWindow dialog(nullptr);
  std::vector<std::pair<std::string, std::string>> asked;  // filter, folder
  std::optional<std::string> answer = ThreeIconProgram();
  dialog.SetFileChooser([&](HWND, const std::string& filter, const std::string& folder) {
    asked.emplace_back(filter, folder);
    return answer;
  });
  dialog.SetFileName(ThreeIconProgram());
  dialog.SetWorkingDir("C:\\work\\");
  dialog.SetShowName("name");
  dialog.InitialIconIndex = 2;
  dialog.FormShow();
  ASSERT_EQ(dialog.IconSelection(), 2);

  dialog.Button1Click();  // the same file again
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first,
            "実行ﾌｧｲﾙ (*.EXE)|*.exe|ｼｮｰﾄｶｯﾄ(*.lnk)|*.lnk|ｽｸﾘｰﾝｾｰﾊﾞｰ(*.SCR)|*.scr|すべてのﾌｧｲﾙ (*.*)|*.*");
  EXPECT_EQ(asked[0].second + "\\", kb::ModuleFolder().value());
  EXPECT_EQ(dialog.IconSelection(), 2);
  EXPECT_EQ(dialog.IconCount(), 3);

  answer.reset();  // cancelled
  dialog.Button1Click();
  EXPECT_EQ(dialog.FileName(), ThreeIconProgram());
  EXPECT_EQ(dialog.IconSelection(), 2);

  const std::string document = kb::ModuleFolder().value() + "edit_window_test_doc.txt";
  std::ofstream(document) << "x";
  answer = document;
  dialog.Button1Click();
  EXPECT_EQ(dialog.FileName(), document);
  EXPECT_EQ(dialog.IconCount(), 1);
  EXPECT_EQ(dialog.IconSelection(), 0);
  EXPECT_EQ(dialog.WorkingDir(), "C:\\work\\");  // not filled in from the file
  EXPECT_EQ(dialog.ShowName(), "name");

  answer = ThreeIconProgram();
  dialog.Button2Click();  // an icon file now overrides the program
  EXPECT_EQ(asked.back().first,
            "ｱｲｺﾝﾌｧｲﾙ(*.ico)|*.ico|ﾗﾝﾀｲﾑﾗｲﾌﾞﾗﾘ(*.DLL)|*.dll|実行ﾌｧｲﾙ (*.EXE)|*.exe|すべてのﾌｧｲﾙ (*.*)|*.*");
  EXPECT_EQ(asked.back().second, "");  // Edit4 was empty
  EXPECT_EQ(dialog.IconFile(), ThreeIconProgram());
  EXPECT_EQ(dialog.IconCount(), 3);
  DeleteFileW(win::Widen(document).c_str());
}

// The real file dialog (its library is loaded on first use): it opens in the
// given folder with the given filter, and a cancel answers nothing.
TEST(EditWindowTest, RealFileDialogOpensAndCancelGivesNothing) {
  auto watch = win::testing::AnswerDialogLater("開く", IDCANCEL, 15000);
  const std::optional<std::string> chosen =
      ChooseFileWithDialog(nullptr, "プログラム (*.exe)|*.exe", kb::ModuleFolder().value());
  EXPECT_TRUE(watch->Fired());
  EXPECT_FALSE(chosen.has_value());
  EXPECT_NE(GetModuleHandleW(L"comdlg32.dll"), nullptr);
}

TEST(EditWindowTest, DeleteEmptiesTheFieldsAndOnlyOkReportsIt) {
  TEditWindow dialog(nullptr);
  int targetsCleared = 0;
  dialog.SetBackupTargetsClearer([&] { ++targetsCleared; });
  dialog.SetFileName(ThreeIconProgram());
  dialog.SetWorkingDir("C:\\w\\");
  dialog.SetShowName("three");
  dialog.SetIconFile(ThreeIconProgram());
  dialog.SetExecOption(3);
  dialog.SetBackUp(true);
  dialog.InitialIconIndex = 1;
  RunLater([&] {
    Click(dialog.Control(TEditWindow::kBitBtn4));
    EXPECT_TRUE(dialog.DeleteRequested());
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialog.WorkingDir(), "");
    EXPECT_EQ(dialog.ShowName(), "");
    EXPECT_EQ(dialog.IconFile(), "");
    EXPECT_EQ(dialog.ExecOption(), 1);
    EXPECT_EQ(dialog.IconCount(), 1);
    EXPECT_EQ(dialog.IconSelection(), 0);
    EXPECT_TRUE(dialog.BackUp());  // the check box keeps its state
    Click(dialog.Control(TEditWindow::kBitBtn2));
  });
  {
    test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
    EXPECT_EQ(dialog.Execute(), win::mrCancel);
  }
  EXPECT_EQ(targetsCleared, 0);

  // The next showing starts without the request; "更新(&A)" answers 4.
  bool requestedOnShow = true;
  RunLater([&] {
    requestedOnShow = dialog.DeleteRequested();
    Click(dialog.Control(TEditWindow::kBitBtn3));
  });
  {
    test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
    EXPECT_EQ(dialog.Execute(), win::mrUpdate);
  }
  EXPECT_FALSE(requestedOnShow);

  RunLater([&] {
    Click(dialog.Control(TEditWindow::kBitBtn4));
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  {
    test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
    EXPECT_EQ(dialog.Execute(), win::mrOk);
  }
  EXPECT_TRUE(dialog.DeleteRequested());
  EXPECT_EQ(targetsCleared, 1);
}

TEST(EditWindowTest, OkRefusesANameWithoutShiftJisFormAndStaysOpen) {
  TEditWindow dialog(nullptr);
  std::string refusal;
  bool stillOpen = false;
  RunLater([&] {
    SetWindowTextW(dialog.Control(TEditWindow::kEdit3), L"caf\u00e9");  // an accented e has no Shift-JIS form
    auto watch = win::testing::AnswerDialogLater("ｴﾗｰ", IDOK, 10000);
    Click(dialog.Control(TEditWindow::kBitBtn1));
    refusal = watch->Fired() ? watch->ShownText() : "";
    stillOpen = dialog.InModal();
    SetWindowTextW(dialog.Control(TEditWindow::kEdit3), L"cafe");
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
  EXPECT_EQ(dialog.Execute(), win::mrOk);
  EXPECT_TRUE(stillOpen);
  EXPECT_NE(refusal.find("シフトJIS"), std::string::npos) << refusal;
  EXPECT_EQ(dialog.ShowName(), "cafe");
}

TEST(EditWindowTest, BackupButtonOpensTheBackupDialogAndClosingCancels) {
  TEditWindow dialog(nullptr);
  int opened = 0;
  dialog.SetBackupDialog([&] { ++opened; });
  RunLater([&] {
    Click(dialog.Control(TEditWindow::kBitBtn7));
    SendMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
  });
  test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
  EXPECT_EQ(dialog.Execute(), win::mrCancel);
  EXPECT_EQ(opened, 1);
  EXPECT_NE(dialog.hwnd(), nullptr);  // closing hides it; it lives on
  EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
}

TEST(EditWindowTest, WhileOpenTheThreadsOtherWindowsRestAndASecondShowingIsRefused) {
  TEditWindow dialog(nullptr);
  HWND other = CreateWindowExW(0, L"STATIC", L"bar", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  bool otherEnabled = true;
  bool onTop = false;
  int nested = -1;
  RunLater([&] {
    otherEnabled = IsWindowEnabled(other) != FALSE;
    onTop = (GetWindowLongPtrW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    nested = dialog.Execute();
    Click(dialog.Control(TEditWindow::kBitBtn2));
  });
  {
    test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
    EXPECT_EQ(dialog.Execute(), win::mrCancel);
  }
  EXPECT_FALSE(otherEnabled);
  EXPECT_TRUE(onTop);  // above the stay-on-top bar while open
  EXPECT_FALSE(GetWindowLongPtrW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(nested, win::mrNone);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
}

TEST(EditWindowTest, AltAAnswersWithTheUpdateResult) {
  TEditWindow dialog(nullptr);
  RunLater([&] {
    HWND edit = dialog.Control(TEditWindow::kEdit3);
    SetFocus(edit);
    constexpr LPARAM kAltDown = 1 | (1 << 29);
    PostMessageW(edit, WM_SYSKEYDOWN, 'A', kAltDown);
    PostMessageW(edit, WM_SYSCHAR, L'a', kAltDown);
    PostMessageW(edit, WM_SYSKEYUP, 'A', kAltDown | 0xC0000000);
  }, 100);
  test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
  EXPECT_EQ(dialog.Execute(), win::mrUpdate);
}

TEST(EditWindowTest, EnterAnswersOkAndEscapeCancel) {
  TEditWindow dialog(nullptr);
  for (const auto& [key, expected] : {std::pair{VK_RETURN, win::mrOk}, {VK_ESCAPE, win::mrCancel}}) {
    RunLater([&, key = key] {
      HWND edit = dialog.Control(TEditWindow::kEdit3);
      SetFocus(edit);
      PostMessageW(edit, WM_KEYDOWN, key, 0);
    }, 100);
    test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
    EXPECT_EQ(dialog.Execute(), expected) << key;
  }
}

}  // namespace
}  // namespace kb
