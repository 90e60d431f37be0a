// TPopupMenu: a chosen item runs after the caller has returned, separators
// and disabled items never run, and clients hear of the menu's end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "win/popup_menu.h"
#include "win/testing/testing.h"

namespace kb::win {
namespace {

using testing::PumpMessagesFor;
using testing::WaitUntil;

TEST(PopupMenu, AChosenItemRunsLaterFromTheMessageLoop) {
  TPopupMenu menu;
  std::string ran;
  menu.Add("設定", [&ran] { ran += "a"; });
  menu.Add("-", [&ran] { ran += "separator"; });
  menu.Add("終了", [&ran] { ran += "b"; }).Enabled = false;
  menu.Add("なし");
  ASSERT_EQ(menu.Count(), 4);
  EXPECT_TRUE(menu.Item(1).IsSeparator());
  EXPECT_FALSE(menu.Item(0).IsSeparator());

  for (int i = 0; i < menu.Count(); ++i) menu.PostClick(i);
  menu.PostClick(0);
  EXPECT_EQ(ran, "");  // nothing runs inside the caller
  ASSERT_TRUE(WaitUntil([&] { return ran.size() >= 2; }, 3000));
  PumpMessagesFor(50);
  EXPECT_EQ(ran, "aa");
}

TEST(PopupMenu, AnItemMayEndItsOwnMenu) {
  auto menu = std::make_unique<TPopupMenu>();
  bool ran = false;
  menu->Add("終了", [&] {
    ran = true;
    menu.reset();
  });
  menu->PostClick(0);
  ASSERT_TRUE(WaitUntil([&] { return ran; }, 3000));
  EXPECT_EQ(menu, nullptr);
}

TEST(PopupMenu, ClientsAreToldWhenTheMenuGoes) {
  int told = 0;
  const int first = 0, second = 0;
  {
    TPopupMenu menu;
    menu.FreeNotification(&first, [&told] { told += 1; });
    menu.FreeNotification(&second, [&told] { told += 10; });
    menu.FreeNotification(&second, [&told] { told += 100; });  // replaces
    menu.RemoveFreeNotification(&first);
  }
  EXPECT_EQ(told, 100);
}

TEST(PopupMenu, ADroppedClickAfterTheMenuIsGoneDoesNothing) {
  bool ran = false;
  {
    TPopupMenu menu;
    menu.Add("x", [&ran] { ran = true; });
    menu.PostClick(0);
  }
  PumpMessagesFor(100);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace kb::win
