// Real clicks on the icon in Wine's own notification-area window: the shell
// delivers them, the component turns them into events and pops up its real
// menu, and a click on a menu item runs that item.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "components/icon_tray.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"

namespace kb {
namespace {
using win::testing::ClickMenuItemWhenShown;
using win::testing::RunXdotool;
using win::testing::WaitUntil;
using win::testing::WineTrayIconPoint;

struct Seen {
  std::vector<std::string> events;
  std::string chosen;
};
class TrayWithMenu {
 public:
  explicit TrayWithMenu(Seen& seen) {
    menu.Add("ひとつめ", [&seen] { seen.chosen = "first"; });
    menu.Add("-");
    menu.Add("ふたつめ", [&seen] { seen.chosen = "second"; });
    tray.OnClick = [&seen] { seen.events.push_back("click"); };
    tray.OnMouseDown = [&seen](TMouseButton b, TShiftState s, int, int) {
      seen.events.push_back(Name("down", b, s));
    };
    tray.OnMouseUp = [&seen](TMouseButton b, TShiftState s, int, int) {
      seen.events.push_back(Name("up", b, s));
    };
    tray.SetLBtnPopupMenu(&menu);
    tray.SetRBtnPopupMenu(&menu);
    tray.SetHint("ｸﾘｯｸでﾒﾆｭｰ表示");
    tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  }

  static std::string Name(const char* what, TMouseButton b, TShiftState s) {
    std::string name = std::string(what) + (b == TMouseButton::mbLeft ? " left" : " right");
    if (s & ssShift) name += " shift";
    return name;
  }

  win::TPopupMenu menu;
  TIconTray tray;
};

// Clicks the icon with `clickArguments` (xdotool), chooses menu item
// `item` once the menu shows, and waits until that item has run.
void ClickAndChoose(Seen& seen, POINT icon, const std::string& clickArguments, int item) {
  seen.events.clear();
  seen.chosen.clear();
  bool menuClicked = false;
  std::thread chooser([&] { menuClicked = ClickMenuItemWhenShown(item); });
  ASSERT_TRUE(RunXdotool("mousemove " + std::to_string(icon.x) + " " + std::to_string(icon.y) +
                         " sleep 0.3 " + clickArguments));
  const bool ran = WaitUntil([&] { return !seen.chosen.empty(); }, 20000);
  chooser.join();
  EXPECT_TRUE(menuClicked);
  EXPECT_TRUE(ran);
}
TEST(IconTrayClicks, LeftAndRightClicksOnWinesTrayOpenTheMenu) {
  Seen seen;
  TrayWithMenu t(seen);
  ASSERT_TRUE(t.tray.Shown());
  std::optional<POINT> icon;
  ASSERT_TRUE(WaitUntil([&] { return (icon = WineTrayIconPoint()).has_value(); }, 10000))
      << "Wine's tray window did not show";
  ClickAndChoose(seen, *icon, "click 1", 2);
  EXPECT_EQ(seen.chosen, "second");
  EXPECT_EQ(seen.events, (std::vector<std::string>{"down left", "click", "up left"}));
  ClickAndChoose(seen, *icon, "keydown shift click 3 keyup shift", 0);
  EXPECT_EQ(seen.chosen, "first");
  EXPECT_EQ(seen.events, (std::vector<std::string>{"down right shift", "up right shift"}));
}

}  // namespace
}  // namespace kb
