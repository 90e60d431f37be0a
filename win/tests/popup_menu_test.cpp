// TPopupMenu: a chosen item runs after the caller has returned; separators
// and disabled items never run; clients hear of the menu's end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "win/popup_menu.h"
#include "win/testing/testing.h"

namespace kb::win {
namespace {

TEST(PopupMenu, AChosenItemRunsLaterAndMayEndItsOwnMenu) {
  auto menu = std::make_unique<TPopupMenu>();
  std::string ran;
  menu->Add("設定", [&] { ran += "a"; });
  menu->Add("-", [&] { ran += "separator"; });
  menu->Add("無効", [&] { ran += "disabled"; }).Enabled = false;
  menu->Add("終了", [&] {
    ran += "b";
    menu.reset();
  });
  for (int i = 0; i < menu->Count(); ++i) menu->PostClick(i);
  EXPECT_EQ(ran, "");  // nothing runs inside the caller
  ASSERT_TRUE(testing::WaitUntil([&] { return menu == nullptr; }, 3000));
  EXPECT_EQ(ran, "ab");

  // A click still queued when its menu goes is dropped.
  menu = std::make_unique<TPopupMenu>();
  menu->Add("x", [&] { ran += "late"; });
  menu->PostClick(0);
  menu.reset();
  testing::PumpMessagesFor(100);
  EXPECT_EQ(ran, "ab");
}

TEST(PopupMenu, ClientsAreToldWhenTheMenuGoes) {
  int told = 0;
  const int first = 0, second = 0;
  {
    TPopupMenu menu;
    menu.FreeNotification(&first, [&] { told += 1; });
    menu.FreeNotification(&second, [&] { told += 10; });
    menu.FreeNotification(&second, [&] { told += 100; });  // replaces
    menu.RemoveFreeNotification(&first);
  }
  EXPECT_EQ(told, 100);
}

}  // namespace
}  // namespace kb::win
