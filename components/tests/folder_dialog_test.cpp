#include "components/folder_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "common/path.h"
#include "win/testing/testing.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

// The browser's controls (the same ids on Windows and Wine).
constexpr int kTreeId = 0x3741;
constexpr int kStatusId = 0x3743;

class Form : public win::Window {
 public:
  Form() { Create(L"TKbFolderForm", 0, WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr); }
  ~Form() override { Destroy(); }
};

std::string SelectedTreeText(HWND browser) {
  HWND tree = GetDlgItem(browser, kTreeId);
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  wchar_t text[MAX_PATH] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = MAX_PATH;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return win::Narrow(text).value_or("?");
}

std::string SpecialFolderDisplayName(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) return {};
  SHFILEINFOW info{};
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_DISPLAYNAME);
  CoTaskMemFree(list);
  return win::Narrow(info.szDisplayName).value_or("?");
}

std::string TempFolderWithoutBackslash() {
  wchar_t temp[MAX_PATH];
  GetLongPathNameW(std::wstring(temp, GetTempPathW(MAX_PATH, temp)).c_str(), temp, MAX_PATH);
  std::string path = win::Narrow(temp).value();
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

void Press(HWND browser, int id) { PostMessageW(browser, WM_COMMAND, id, 0); }

class FolderDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A browser still open after 10 s is cancelled: the test fails, not hangs.
    timer_ = SetTimer(nullptr, 0, 10000, &CancelOpenBrowser);
    open_ = &dialog_;
  }
  void TearDown() override { KillTimer(nullptr, timer_); }
  static void CALLBACK CancelOpenBrowser(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND browser = open_->BrowserWindow()) Press(browser, IDCANCEL);
  }

  Form form_;
  TSelectFolderDialog dialog_{form_.hwnd()};
  UINT_PTR timer_ = 0;
  static inline TSelectFolderDialog* open_ = nullptr;
};

TEST_F(FolderDialogTest, OptionsBecomeTheBrowserFlags) {
  EXPECT_EQ(dialog_.BrowseFlags(), 1u);  // the default: file-system folders only
  dialog_.Options = bifStatusText | bifReturnOnlyFSDIRs;
  EXPECT_EQ(dialog_.BrowseFlags(), 5u);
  dialog_.Options = bifBrowseIncludeFiles | bifBrowseForPrinter | bifBrowseForComputer |
                    bifReturnFSAncestors | bifDontGoBelowDomain | 0x40;  // 0x40 is no option
  EXPECT_EQ(dialog_.BrowseFlags(), 0x700Au);
}

TEST_F(FolderDialogTest, DefaultsOpenWithMyComputerSelectedAndCancelReturnsFalse) {
  std::string selected;
  bool wasOpen = false;
  dialog_.OnInitialized = [&](TSelectFolderDialog& sender) {
    EXPECT_EQ(&sender, &dialog_);
    wasOpen = sender.BrowserWindow() != nullptr;
    selected = SelectedTreeText(sender.BrowserWindow());
    Press(sender.BrowserWindow(), IDCANCEL);
  };
  EXPECT_FALSE(dialog_.Execute());
  EXPECT_TRUE(wasOpen);
  EXPECT_EQ(dialog_.BrowserWindow(), nullptr);
  EXPECT_EQ(selected, SpecialFolderDisplayName(17));
  EXPECT_EQ(dialog_.FolderName(), "");
}

TEST_F(FolderDialogTest, AnItemWithoutAPathIsNoFolderChosen) {
  dialog_.OnInitialized = [&](TSelectFolderDialog& sender) {
    Press(sender.BrowserWindow(), IDOK);  // My Computer is selected
  };
  EXPECT_FALSE(dialog_.Execute());
  EXPECT_EQ(dialog_.FolderName(), "");
}

// Selects `path` in the open browser, again every 200 ms until the browser
// reports it: Wine's browser now and then leaves a selection by path unmade
// while its tree is still being filled.
class Reselect {
 public:
  explicit Reselect(const std::string& path) : path_(win::Widen(path)) { current_ = this; }
  ~Reselect() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  void Start(HWND browser) {
    browser_ = browser;
    Select();
    timer_ = SetTimer(nullptr, 0, 200, &Tick);
  }
  void Done() { KillTimer(nullptr, timer_); }

 private:
  void Select() {
    SendMessageW(browser_, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path_.c_str()));
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ && IsWindow(current_->browser_)) current_->Select();
  }
  std::wstring path_;
  HWND browser_ = nullptr;
  UINT_PTR timer_ = 0;
  static inline Reselect* current_ = nullptr;
};

TEST_F(FolderDialogTest, ChoosingAFolderReturnsItsFullPath) {
  const std::string temp = TempFolderWithoutBackslash();
  Reselect reselect(temp);
  std::vector<std::string> changes;
  dialog_.OnSelChanged = [&](TSelectFolderDialog& sender, const std::string& path) {
    changes.push_back(path);
    // OK once the browser has the folder selected, as a user would.
    if (LowerAscii(path) == LowerAscii(temp)) {
      reselect.Done();
      Press(sender.BrowserWindow(), IDOK);
    }
  };
  dialog_.OnInitialized = [&](TSelectFolderDialog& sender) { reselect.Start(sender.BrowserWindow()); };
  ASSERT_TRUE(dialog_.Execute());
  EXPECT_EQ(LowerAscii(dialog_.FolderName()), LowerAscii(temp));
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(LowerAscii(changes.back()), LowerAscii(temp));
}

TEST_F(FolderDialogTest, StatusTextIsSentAtOpeningOnlyWithTheFlagButAlwaysWhenSetWhileOpen) {
  std::string atOpening, afterSet;
  dialog_.SetStatusText("最初の状態");
  dialog_.OnInitialized = [&](TSelectFolderDialog& sender) {
    HWND status = GetDlgItem(sender.BrowserWindow(), kStatusId);
    atOpening = win::testing::ReadWindowText(status);
    sender.SetStatusText("選択中");
    afterSet = win::testing::ReadWindowText(status);
    Press(sender.BrowserWindow(), IDCANCEL);
  };
  dialog_.Execute();
  EXPECT_EQ(atOpening, "");
  EXPECT_EQ(afterSet, "選択中");

  dialog_.Options = bifStatusText | bifReturnOnlyFSDIRs;
  dialog_.SetStatusText("開いたとき");
  dialog_.Execute();
  EXPECT_EQ(atOpening, "開いたとき");
}

TEST_F(FolderDialogTest, InitialFolderIsSelectedWhenTheBrowserOpens) {
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  std::string firstChange;
  dialog_.InitialFolder = TSpecialFolder::sfDesktopDirectory;
  dialog_.OnSelChanged = [&](TSelectFolderDialog&, const std::string& path) {
    if (firstChange.empty()) firstChange = path;
  };
  dialog_.OnInitialized = [&](TSelectFolderDialog& sender) { Press(sender.BrowserWindow(), IDOK); };
  ASSERT_TRUE(dialog_.Execute());
  EXPECT_EQ(dialog_.FolderName(), win::Narrow(desktop).value());
  EXPECT_EQ(firstChange, dialog_.FolderName());
}

}  // namespace
}  // namespace kb
