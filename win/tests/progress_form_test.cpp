#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "win/progress_form.h"
#include "win/testing/testing.h"

namespace kb {
namespace {

using win::testing::ReadWindowText;

TEST(ProgressForm, ControlsCaptionAndPlace) {
  TFProge form;
  form.Create(nullptr);
  EXPECT_EQ(ReadWindowText(form.hwnd()), "しばらくおまちください");
  RECT client{};
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 311);
  EXPECT_EQ(client.bottom, 109);
  EXPECT_TRUE(GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  const RECT frame = form.Bounds();
  const int centreX = (frame.left + frame.right) / 2, centreY = (frame.top + frame.bottom) / 2;
  EXPECT_LE(std::abs(centreX - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
  EXPECT_LE(std::abs(centreY - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

  EXPECT_EQ(form.Label1.Text(), "ｱｲｺﾝﾃﾞｰﾀ取得中");
  EXPECT_EQ(form.Label2.Text(), "  0% 完了");
  const RECT label2 = form.Label2.Bounds();
  EXPECT_EQ(label2.left, 0);
  EXPECT_EQ(label2.top, 32);
  const RECT bar = form.ProgressBar1.Bounds();
  EXPECT_EQ(bar.left, 8);
  EXPECT_EQ(bar.top, 56);
  EXPECT_EQ(bar.right - bar.left, 297);
  EXPECT_EQ(bar.bottom - bar.top, 25);
  EXPECT_EQ(SendMessageW(form.ProgressBar1.hwnd(), PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageW(form.ProgressBar1.hwnd(), PBM_GETSTEP, 0, 0), 20);
}

TEST(ProgressForm, ThreeIconsGiveThirtyThreeSixtySixHundred) {
  TFProge form;
  form.Create(nullptr);
  form.Show();
  const int n = 3;
  const char* expected[] = {"33% 完了", "66% 完了", "100% 完了"};
  for (int i = 1; i <= n; ++i) {
    form.SetProgress(i * 100 / n);
    EXPECT_EQ(form.Label2.Text(), expected[i - 1]);
    EXPECT_EQ(form.ProgressBar1.Position(), i * 100 / n);
  }
  // No message was needed for the update: nothing is left waiting to paint.
  EXPECT_FALSE(GetUpdateRect(form.Label2.hwnd(), nullptr, FALSE));
}

}  // namespace
}  // namespace kb
