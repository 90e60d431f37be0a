#include "components/file_drop.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <stdexcept>

#include "win/testing/testing.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

namespace wt = win::testing;

class Form : public win::Window {
 public:
  Form() { Create(L"TKbDropForm", 0, WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr); }
  ~Form() override { Destroy(); }
};

HWND MakeList(HWND parent, int y) {
  return CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE, 10, y, 200, 60, parent,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

struct Drop {
  int num = -1;
  std::vector<std::string> files;
  POINT point{-1, -1};
  int calls = 0;
};

class FileDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list1_ = MakeList(form_.hwnd(), 10);
    list2_ = MakeList(form_.hwnd(), 100);
    original1_ = GetWindowLongPtrW(list1_, GWLP_WNDPROC);
    win::SetErrorReporter([this](const std::string& text) { errors_.push_back(text); });
  }
  void TearDown() override { win::SetErrorReporter(nullptr); }

  void Record(TFileDrop& drop) {
    drop.OnFileDrop = [this, &drop](TFileDrop& sender, int num,
                                    const std::vector<std::string>& files, int x, int y) {
      EXPECT_EQ(&sender, &drop);
      seen_.num = num;
      seen_.files = files;
      seen_.point = {x, y};
      ++seen_.calls;
    };
  }

  static bool AcceptsFiles(HWND hwnd) {
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  }

  Form form_;
  HWND list1_ = nullptr;
  HWND list2_ = nullptr;
  LONG_PTR original1_ = 0;
  Drop seen_;
  std::vector<std::string> errors_;
};

TEST_F(FileDropTest, ThreeFilesArriveInTheShellsOrderWithTheDropPoint) {
  TFileDrop drop(form_.hwnd());
  Record(drop);
  drop.SetControl(list1_);
  EXPECT_EQ(drop.HookedWindow(), list1_);
  EXPECT_TRUE(AcceptsFiles(list1_));

  wt::PostDrop(list1_, {"C:\\b.dat", "C:\\表示\\a.dat", "D:\\c d.txt"}, {17, 23});
  ASSERT_TRUE(wt::WaitUntil([&] { return seen_.calls == 1; }));
  EXPECT_EQ(seen_.num, 3);
  EXPECT_EQ(seen_.files, (std::vector<std::string>{"C:\\b.dat", "C:\\表示\\a.dat", "D:\\c d.txt"}));
  EXPECT_EQ(seen_.point.x, 17);
  EXPECT_EQ(seen_.point.y, 23);
}

TEST_F(FileDropTest, LongNamesArriveWholeNotCutToTheOldBuffer) {
  TFileDrop drop(form_.hwnd());
  Record(drop);
  drop.SetControl(list1_);
  const std::string longName = "C:\\" + std::string(300, 'a') + ".dat";
  wt::PostDrop(list1_, {longName});
  ASSERT_TRUE(wt::WaitUntil([&] { return seen_.calls == 1; }));
  EXPECT_EQ(seen_.files, (std::vector<std::string>{longName}));
}

TEST_F(FileDropTest, ADropIsFinishedWithoutAHandlerAndWhenTheHandlerThrows) {
  TFileDrop drop(form_.hwnd());
  drop.SetControl(list1_);
  HDROP handle = wt::MakeDropHandle({"C:\\a.dat"});
  SendMessageW(list1_, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
  EXPECT_EQ(GlobalSize(handle), 0u) << "DragFinish frees the drop";

  drop.OnFileDrop = [](TFileDrop&, int, const std::vector<std::string>&, int, int) {
    throw std::runtime_error("handler failed");
  };
  handle = wt::MakeDropHandle({"C:\\a.dat"});
  SendMessageW(list1_, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
  EXPECT_EQ(GlobalSize(handle), 0u);
  EXPECT_EQ(errors_, (std::vector<std::string>{"handler failed"}));
}

TEST_F(FileDropTest, ANameShiftJisCannotHoldRefusesTheDropWithAMessage) {
  TFileDrop drop(form_.hwnd());
  Record(drop);
  drop.SetControl(list1_);
  const std::wstring names = std::wstring(L"C:\\caf\u00e9.dat") + L'\0' + L'\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                               sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::memcpy(files + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  SendMessageW(list1_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(seen_.calls, 0);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("シフトJIS"), std::string::npos) << errors_[0];
}

TEST_F(FileDropTest, AcceptChangesTheRegistrationOnlyWhenItChanges) {
  TFileDrop drop(form_.hwnd());
  drop.SetControl(list1_);
  drop.SetAccept(false);
  EXPECT_FALSE(AcceptsFiles(list1_));
  DragAcceptFiles(list1_, TRUE);  // someone else registers the window again
  drop.SetAccept(false);          // unchanged: no call
  EXPECT_TRUE(AcceptsFiles(list1_));
  drop.SetAccept(true);
  EXPECT_TRUE(drop.Accept());
}

TEST_F(FileDropTest, WithoutAControlTheOwnerFormBecomesTheTargetOnceLoaded) {
  TFileDrop drop(form_.hwnd());
  Record(drop);
  EXPECT_EQ(drop.HookedWindow(), nullptr);
  drop.Loaded();
  EXPECT_EQ(drop.HookedWindow(), form_.hwnd());
  EXPECT_TRUE(AcceptsFiles(form_.hwnd()));
  wt::PostDrop(form_.hwnd(), {"C:\\x.dat"}, {5, 6});
  ASSERT_TRUE(wt::WaitUntil([&] { return seen_.calls == 1; }));
  EXPECT_EQ(seen_.files, (std::vector<std::string>{"C:\\x.dat"}));
}

TEST_F(FileDropTest, ChangingTheControlRestoresTheFirstWindowsProcedure) {
  TFileDrop drop(form_.hwnd());
  Record(drop);
  drop.SetControl(list1_);
  EXPECT_NE(GetWindowLongPtrW(list1_, GWLP_WNDPROC), original1_);
  drop.SetControl(list2_);
  EXPECT_EQ(GetWindowLongPtrW(list1_, GWLP_WNDPROC), original1_);
  EXPECT_EQ(drop.HookedWindow(), list2_);
  wt::PostDrop(list2_, {"C:\\second.dat"});
  ASSERT_TRUE(wt::WaitUntil([&] { return seen_.calls == 1; }));
  EXPECT_EQ(seen_.files, (std::vector<std::string>{"C:\\second.dat"}));
}

TEST_F(FileDropTest, ADestroyedControlLeavesNoTargetAndAcceptOff) {
  TFileDrop drop(form_.hwnd());
  drop.SetControl(list1_);
  DestroyWindow(list1_);
  EXPECT_EQ(drop.Control(), nullptr);
  EXPECT_EQ(drop.HookedWindow(), nullptr);
  EXPECT_FALSE(drop.Accept());
}

TEST_F(FileDropTest, NoControlAndNoOwnerIsAnError) {
  TFileDrop drop(nullptr);
  try {
    drop.Loaded();
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Invalidate Window Handle in FileDrop");
  }
}

TEST_F(FileDropTest, TheDestructorGivesTheWindowItsProcedureBack) {
  {
    TFileDrop drop(form_.hwnd());
    drop.SetControl(list1_);
  }
  EXPECT_EQ(GetWindowLongPtrW(list1_, GWLP_WNDPROC), original1_);
}

}  // namespace
}  // namespace kb
