// The backup target dialog in-process under Wine: its controls, and every
// handler driven through its controls, the dropped-files target and the
// folder browser while its modal loop runs.
#include "backup/bkup_dlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "backup/tests/backup_test_support.h"
#include "win/testing/testing.h"
#include "win/text.h"
#include "win/ui_font.h"
#include "win/window.h"

namespace kb {
namespace {

namespace wt = win::testing;
using backup_testing::RunLater;

class Owner : public win::Window {
 public:
  Owner() { Create(L"TKbBackupOwner", 0, WS_POPUP, 0, 0, 10, 10, nullptr); }
  ~Owner() override { Destroy(); }
};

RECT ClientBounds(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class BkupDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.SetWorkingFolderSource([this] { return workingFolder_; });
  }
  HWND Item(int id) const { return dialog_.Control(id); }
  std::string Text(int id) const { return wt::ReadWindowText(Item(id)); }
  void SetText(int id, const std::string& text) {
    SetWindowTextW(Item(id), win::Widen(text).c_str());
  }
  void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
  // Runs `steps` inside the dialog's modal loop, then presses `endButton`.
  int RunModal(std::function<void()> steps, int endButton = IDCANCEL) {
    RunLater([this, steps, endButton] {
      steps();
      PostMessageW(Item(endButton), BM_CLICK, 0, 0);
    });
    // A broken step fails the test instead of hanging it.
    const UINT_PTR timeout = RunLater([this] { dialog_.EndModal(win::mrNone); }, 15000);
    const int result = dialog_.Execute();
    backup_testing::Cancel(timeout);
    return result;
  }
  // Shown without a modal loop, for tests that drive single controls.
  void ShowPlain() { ShowWindow(dialog_.hwnd(), SW_SHOWNA); }

  Owner owner_;
  TBKUPDlg dialog_{owner_.hwnd()};
  std::string workingFolder_ = "C:\\APP";
};

TEST_F(BkupDlgTest, ControlsSitWhereTheyBelongWithTheirTexts) {
  EXPECT_EQ(wt::ReadWindowText(dialog_.hwnd()), "データバックアップの指定");
  RECT client;
  GetClientRect(dialog_.hwnd(), &client);
  EXPECT_EQ(client.right, 408);
  EXPECT_EQ(client.bottom, 354);
  EXPECT_TRUE(GetWindowLongPtrW(dialog_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  const struct {
    int id;
    RECT bounds;
    const char* text;
  } controls[] = {
      {TBKUPDlg::kGroupBox1, {0, 8, 408, 185}, "データバックアップ対象ファイル"},
      {TBKUPDlg::kCandidate, {16, 40, 297, 60}, ""},
      {TBKUPDlg::kButton1, {304, 38, 350, 63}, "参照..."},
      {TBKUPDlg::kButton2, {352, 38, 398, 63}, "追加"},
      {TBKUPDlg::kListCandidate, {16, 80, 393, 177}, ""},
      {TBKUPDlg::kGroupBox2, {0, 192, 408, 321}, "バックアップの方法"},
      {TBKUPDlg::kEdit2, {16, 220, 345, 240}, ""},
      {TBKUPDlg::kButton3, {354, 217, 400, 242}, "参照..."},
      {TBKUPDlg::kRadioButton1, {16, 240, 153, 257}, "指定フォルダにコピーして保存"},
      {TBKUPDlg::kRadioButton2, {16, 256, 201, 273}, "指定フォルダにLZH圧縮して保存"},
      {TBKUPDlg::kBitBtn1, {104, 328, 179, 353}, "OK"},
      {TBKUPDlg::kBitBtn2, {232, 328, 307, 353}, "ｷｬﾝｾﾙ"},
  };
  for (const auto& c : controls) {
    const RECT r = ClientBounds(dialog_.hwnd(), Item(c.id));
    EXPECT_EQ(r.left, c.bounds.left) << c.id;
    EXPECT_EQ(r.top, c.bounds.top) << c.id;
    EXPECT_EQ(r.right, c.bounds.right) << c.id;
    EXPECT_EQ(r.bottom, c.bounds.bottom) << c.id;
    EXPECT_EQ(Text(c.id), c.text) << c.id;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Item(c.id), WM_GETFONT, 0, 0)), win::UiFont());
  }
  // The interval field and its arrows together fill 41 x 21 at (120, 276);
  // the arrows cover the field's right border.
  const RECT field = ClientBounds(dialog_.hwnd(), Item(TBKUPDlg::kSpinEdit1));
  const RECT arrows = ClientBounds(dialog_.hwnd(), GetWindow(Item(TBKUPDlg::kSpinEdit1), GW_HWNDNEXT));
  EXPECT_EQ(field.left, 120);
  EXPECT_EQ(field.top, 276);
  EXPECT_NEAR(arrows.right, 161, 2);
  EXPECT_LE(field.right, arrows.left + 2);
  for (int id : {TBKUPDlg::kLabel1, TBKUPDlg::kLabel2, TBKUPDlg::kLabel3, TBKUPDlg::kLabel4}) {
    EXPECT_FALSE(Text(id).empty());
  }
  EXPECT_EQ(Text(TBKUPDlg::kLabel4), "バックアップは起動　　　　　　ごとに実行する");
  EXPECT_EQ(ClientBounds(dialog_.hwnd(), Item(TBKUPDlg::kLabel5)).top, 300);
  EXPECT_FALSE(GetWindowLongPtrW(Item(TBKUPDlg::kListFiles), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessageW(Item(TBKUPDlg::kListCandidate), LB_GETITEMHEIGHT, 0, 0), 12);
  EXPECT_TRUE(SendMessageW(Item(TBKUPDlg::kRadioButton1), BM_GETCHECK, 0, 0) == BST_CHECKED);
  EXPECT_EQ(GetWindowContextHelpId(dialog_.hwnd()), 25u);
  EXPECT_EQ(GetWindowContextHelpId(Item(TBKUPDlg::kListCandidate)), 25u);
}

TEST_F(BkupDlgTest, TabOrderRunsThroughBothBoxesThenOkAndCancel) {
  ShowPlain();
  std::vector<int> order;
  HWND at = Item(TBKUPDlg::kCandidate);
  for (int i = 0; i < 11; ++i) {
    order.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(dialog_.hwnd(), at, FALSE);
  }
  EXPECT_EQ(order, (std::vector<int>{TBKUPDlg::kCandidate, TBKUPDlg::kButton1,
                                     TBKUPDlg::kListCandidate, TBKUPDlg::kButton2,
                                     TBKUPDlg::kEdit2, TBKUPDlg::kRadioButton1,
                                     TBKUPDlg::kSpinEdit1, TBKUPDlg::kButton3, IDOK, IDCANCEL,
                                     TBKUPDlg::kCandidate}))
      << "the radio group is one tab stop";
}

TEST_F(BkupDlgTest, APositionWithoutSettingsOpensWithTheDefaultsAndTheWorkingFolder) {
  dialog_.Load(BackupSettings{});
  BackupSettings seen;
  std::string countdown;
  EXPECT_EQ(RunModal([&] {
              seen = dialog_.Current();
              countdown = Text(TBKUPDlg::kLabel5);
            }),
            win::mrCancel);
  EXPECT_EQ(seen.Way, BackupWay::Copy);
  EXPECT_EQ(seen.Times, 5);
  EXPECT_TRUE(seen.targets.empty());
  EXPECT_EQ(seen.Folder, "C:\\APP");
  EXPECT_EQ(countdown, CountdownText(1));
}

TEST_F(BkupDlgTest, LoadedSettingsShowAndAStoredFolderStays) {
  BackupSettings s;
  s.targets = {"C:\\z.dat", "C:\\APP\\*.DAT"};
  s.Folder = "D:\\Back";
  s.Way = BackupWay::Archive;
  s.Times = 12;
  s.Next = 7;
  dialog_.Load(s);
  RunModal([] {}, IDOK);
  EXPECT_EQ(dialog_.Current().Folder, "D:\\Back");
  EXPECT_EQ(dialog_.Current().targets, (std::vector<std::string>{"C:\\APP\\*.DAT", "C:\\z.dat"}));
  EXPECT_EQ(Text(TBKUPDlg::kSpinEdit1), "12");
  EXPECT_EQ(SendMessageW(Item(TBKUPDlg::kRadioButton2), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(TBKUPDlg::kLabel5), "指定されたデータは、あと　7回の起動後にバックアップされます");
}

TEST_F(BkupDlgTest, AddTwiceListsThePatternTwiceSortedInAndTheTextStays) {
  ShowPlain();
  SetText(TBKUPDlg::kCandidate, "C:\\APP\\b.DAT");
  Click(TBKUPDlg::kButton2);
  SetText(TBKUPDlg::kCandidate, "C:\\APP\\*.DAT");
  Click(TBKUPDlg::kButton2);
  Click(TBKUPDlg::kButton2);
  SetText(TBKUPDlg::kCandidate, "");
  Click(TBKUPDlg::kButton2);  // an empty entry adds nothing
  EXPECT_EQ(dialog_.Current().targets,
            (std::vector<std::string>{"C:\\APP\\*.DAT", "C:\\APP\\*.DAT", "C:\\APP\\b.DAT"}));
}

TEST_F(BkupDlgTest, ClickingAnEntryCopiesItAndDeleteRemovesTheSelectedOne) {
  BackupSettings s;
  s.targets = {"C:\\a.dat", "C:\\b.dat", "C:\\c.dat"};
  dialog_.Load(s);
  ShowPlain();
  HWND list = Item(TBKUPDlg::kListCandidate);
  // Delete with nothing selected does nothing.
  PostMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
  PostMessageW(list, WM_KEYUP, VK_DELETE, 0xC0000001);
  wt::PumpMessagesFor(50);
  EXPECT_EQ(dialog_.Current().targets.size(), 3u);

  wt::PostClick(list, wt::Button::Left, {5, 12 + 5}, {5, 12 + 5});
  wt::PumpMessagesFor(50);
  EXPECT_EQ(Text(TBKUPDlg::kCandidate), "C:\\b.dat");
  PostMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
  PostMessageW(list, WM_KEYUP, VK_DELETE, 0xC0000001);
  wt::PumpMessagesFor(50);
  EXPECT_EQ(dialog_.Current().targets, (std::vector<std::string>{"C:\\a.dat", "C:\\c.dat"}));
  // Another key leaves the list alone.
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  PostMessageW(list, WM_KEYUP, VK_BACK, 0xC0000001);
  wt::PumpMessagesFor(50);
  EXPECT_EQ(dialog_.Current().targets.size(), 2u);
}

TEST_F(BkupDlgTest, DroppedFilesAreSortedInWithTheirFullPaths) {
  dialog_.FileDrop1FileDrop(3, {"C:\\APP\\c.dat", "C:\\APP\\a.dat", "D:\\b.ini"}, 40, 50);
  EXPECT_EQ(dialog_.Current().targets,
            (std::vector<std::string>{"C:\\APP\\a.dat", "C:\\APP\\c.dat", "D:\\b.ini"}));
}

TEST_F(BkupDlgTest, ANameTooLongToBackUpIsRefusedWithAMessageTheOthersAreAdded) {
  ShowPlain();
  const std::string longName = "C:\\" + std::string(260, 'n') + ".dat";
  auto answer = wt::AnswerDialogLater("警告", IDOK);
  dialog_.FileDrop1FileDrop(2, {"C:\\ok.dat", longName}, 0, 0);
  EXPECT_TRUE(answer->Fired());
  EXPECT_EQ(dialog_.Current().targets, (std::vector<std::string>{"C:\\ok.dat"}));
  EXPECT_NE(answer->ShownText().find(longName), std::string::npos) << answer->ShownText();
}

TEST_F(BkupDlgTest, ADropThatWouldOverfillTheListAddsWhatFitsAndSaysSo) {
  BackupSettings s;
  for (int i = 0; i < 253; ++i) s.targets.push_back("C:\\f" + std::to_string(1000 + i) + ".dat");
  dialog_.Load(s);
  ShowPlain();
  auto answer = wt::AnswerDialogLater("警告", IDOK);
  dialog_.FileDrop1FileDrop(3, {"C:\\x1.dat", "C:\\x2.dat", "C:\\x3.dat"}, 0, 0);
  EXPECT_TRUE(answer->Fired());
  EXPECT_NE(answer->ShownText().find("255"), std::string::npos);
  const std::vector<std::string> targets = dialog_.Current().targets;
  ASSERT_EQ(targets.size(), 255u);
  EXPECT_EQ(targets[253], "C:\\x1.dat");
  EXPECT_EQ(targets[254], "C:\\x2.dat");
}

TEST_F(BkupDlgTest, The256thTargetIsRefusedWithAMessage) {
  BackupSettings s;
  for (int i = 0; i < 254; ++i) s.targets.push_back("C:\\f" + std::to_string(1000 + i) + ".dat");
  dialog_.Load(s);
  ShowPlain();
  SetText(TBKUPDlg::kCandidate, "C:\\last.dat");
  Click(TBKUPDlg::kButton2);
  EXPECT_EQ(dialog_.Current().targets.size(), 255u);
  auto answer = wt::AnswerDialogLater("警告", IDOK);
  SetText(TBKUPDlg::kCandidate, "C:\\one more.dat");
  Click(TBKUPDlg::kButton2);
  EXPECT_TRUE(answer->Fired());
  EXPECT_NE(answer->ShownText().find("255"), std::string::npos);
  EXPECT_EQ(dialog_.Current().targets.size(), 255u);
}

TEST_F(BkupDlgTest, CancelKeepsTheChangesForTheNextShowing) {
  dialog_.Load(BackupSettings{});
  RunModal([&] {
    SetText(TBKUPDlg::kCandidate, "C:\\APP\\*.DAT");
    Click(TBKUPDlg::kButton2);
    SetText(TBKUPDlg::kEdit2, "D:\\Elsewhere");
    Click(TBKUPDlg::kRadioButton2);
    SetText(TBKUPDlg::kSpinEdit1, "500");
  });
  BackupSettings again;
  RunModal([&] { again = dialog_.Current(); });
  EXPECT_EQ(again.targets, (std::vector<std::string>{"C:\\APP\\*.DAT"}));
  EXPECT_EQ(again.Folder, "D:\\Elsewhere");
  EXPECT_EQ(again.Way, BackupWay::Archive);
  EXPECT_EQ(again.Times, 100);
}

TEST_F(BkupDlgTest, BrowsingForATargetPutsTheFileIntoTheEntryFieldOnly) {
  std::string initialFolder;
  dialog_.SetFileChooser([&](HWND owner, const std::string& filter, const std::string& folder) {
    EXPECT_EQ(owner, dialog_.hwnd());
    EXPECT_EQ(filter, "すべてのﾌｧｲﾙ (*.*)|*.*");
    initialFolder = folder;
    return std::optional<std::string>("C:\\APP\\picked.dat");
  });
  ShowPlain();
  Click(TBKUPDlg::kButton1);
  EXPECT_EQ(initialFolder, "C:\\APP");
  EXPECT_EQ(Text(TBKUPDlg::kCandidate), "C:\\APP\\picked.dat");
  EXPECT_TRUE(dialog_.Current().targets.empty());
}

TEST_F(BkupDlgTest, BrowsingForTheFolderPutsTheChosenFolderIntoTheFolderField) {
  std::optional<std::string> answer = "D:\\Chosen";
  HWND browserOwner = nullptr;
  dialog_.SetFolderChooser([&](HWND owner) {
    browserOwner = owner;
    return answer;
  });
  BackupSettings s;
  s.targets = {"C:\\APP\\*.DAT"};  // a list: showing keeps the folder
  s.Folder = "D:\\Before";
  dialog_.Load(s);
  RunModal([&] { Click(TBKUPDlg::kButton3); }, IDOK);
  EXPECT_EQ(browserOwner, dialog_.hwnd()) << "the browser is modal to the dialog";
  EXPECT_EQ(dialog_.Current().Folder, "D:\\Chosen");
  answer.reset();  // cancelled: the folder stays
  RunModal([&] { Click(TBKUPDlg::kButton3); }, IDOK);
  EXPECT_EQ(dialog_.Current().Folder, "D:\\Chosen");
}

TEST_F(BkupDlgTest, TheIntervalFieldReadsAsTheSpinEditDoes) {
  const struct {
    const char* text;
    int32_t times;
  } cases[] = {{"7", 7}, {"0", 1}, {"101", 100}, {"", 1}, {"x", 1}};
  for (const auto& c : cases) {
    SetText(TBKUPDlg::kSpinEdit1, c.text);
    EXPECT_EQ(dialog_.Current().Times, c.times) << c.text;
  }
  HWND arrows = GetWindow(Item(TBKUPDlg::kSpinEdit1), GW_HWNDNEXT);
  int low = 0, high = 0;
  SendMessageW(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 100);
}

TEST_F(BkupDlgTest, AFolderOrIntervalShiftJisCannotHoldIsNamedAndOkKeepsTheDialogOpen) {
  const std::string tail = "にはシフトJISで表せない文字が含まれているため、バックアップの指定を保存できません";
  const struct {
    const wchar_t* folder;
    const wchar_t* times;
    std::optional<std::string> refusal;
  } cases[] = {
      {L"D:\\表", L"5", std::nullopt},
      {L"D:\\\u00E9t\u00E9", L"5", "保存フォルダ「D:\\?t?」" + tail},
      {L"D:\\x", L"5\u0E01", "バックアップの間隔「5?」" + tail},
      {L"\u0E01", L"\u0E01", "保存フォルダ「?」" + tail},  // the folder first
  };
  for (const auto& c : cases) {
    SetWindowTextW(Item(TBKUPDlg::kEdit2), c.folder);
    SetWindowTextW(Item(TBKUPDlg::kSpinEdit1), c.times);
    EXPECT_EQ(dialog_.UnstorableField(), c.refusal);
  }
  // OK with such a folder: the message, and the dialog stays open until
  // the folder is mended.
  bool stayed = false;
  std::string shown;
  const int result = RunModal([&] {
    SetWindowTextW(Item(TBKUPDlg::kEdit2), L"\u0E01");
    SetWindowTextW(Item(TBKUPDlg::kSpinEdit1), L"5");
    auto answer = wt::AnswerDialogLater("ｴﾗｰ", IDOK, 10000);
    PostMessageW(Item(IDOK), BM_CLICK, 0, 0);
    wt::WaitUntil([&] { return answer->Fired(); }, 10000);
    wt::PumpMessagesFor(200);
    shown = answer->ShownText();
    stayed = dialog_.InModal();
    SetWindowTextW(Item(TBKUPDlg::kEdit2), L"D:\\x");
  }, IDOK);
  EXPECT_EQ(result, win::mrOk);
  EXPECT_EQ(shown, "保存フォルダ「?」" + tail);
  EXPECT_TRUE(stayed);
}

}  // namespace
}  // namespace kb
