#include "win/glyph_button.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "win/testing/testing.h"
#include "win/tests/test_host.h"
#include "win/text.h"

namespace kb::win::tests {
namespace {

using testing::Button;
using testing::PostClick;
using testing::PumpMessagesFor;

constexpr COLORREF kKey = RGB(255, 0, 255);   // the glyph's transparent colour
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int kOffset = (GlyphButton::kSize - 32) / 2;  // glyph position in the button

// A glyph strip of `images` 32 × 32 images: the key colour with a 16 × 16
// square at (8, 8) in the image's own colour.
HBITMAP MakeGlyph(std::vector<COLORREF> squares) {
  const int images = static_cast<int>(squares.size());
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 32 * images, 32);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 32 * images, 32};
  HBRUSH key = CreateSolidBrush(kKey);
  FillRect(dc, &all, key);
  DeleteObject(key);
  for (int i = 0; i < images; ++i) {
    RECT sq{32 * i + 8, 8, 32 * i + 24, 24};
    HBRUSH b = CreateSolidBrush(squares[i]);
    FillRect(dc, &sq, b);
    DeleteObject(b);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

bool AnyPixel(const Canvas& c, COLORREF colour) {
  for (int y = 0; y < GlyphButton::kSize; ++y)
    for (int x = 0; x < GlyphButton::kSize; ++x)
      if (c.At(x, y) == colour) return true;
  return false;
}

struct Recorded {
  MouseButton button;
  WPARAM keys;
  int x, y;
};

class RecordingButton : public GlyphButton {
 public:
  std::vector<Recorded> ups;
  std::vector<std::string> dropped;

 protected:
  void MouseUp(MouseButton button, WPARAM keys, int x, int y) override {
    ups.push_back({button, keys, x, y});
  }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_DROPFILES) {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH];
        DragQueryFileW(drop, i, name, MAX_PATH);
        dropped.push_back(NarrowOrThrow(name));
      }
      DragFinish(drop);
      return 0;
    }
    return GlyphButton::HandleMessage(msg, wParam, lParam);
  }
};

// Moves the real pointer as well as posting the move: Wine also sends the
// capturing window moves for where the pointer really is.
void MoveTo(HWND hwnd, int x, int y) {
  POINT pt{x, y};
  ClientToScreen(hwnd, &pt);
  SetCursorPos(pt.x, pt.y);
  PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
  PumpMessagesFor(40);
}

class GlyphButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(button.Create(host.hwnd(), 10, 10, GlyphButton::kSize, GlyphButton::kSize, 77)); }
  COLORREF Face() const { return GetSysColor(COLOR_BTNFACE); }

  TestHost host;
  RecordingButton button;
};

TEST_F(GlyphButtonTest, GlyphCornerColourIsTransparentAndGlyphIsCentred) {
  button.SetGlyph(MakeGlyph({kRed}), 1, true);
  Canvas c(GlyphButton::kSize, GlyphButton::kSize);
  button.PaintContent(c.dc());
  EXPECT_FALSE(AnyPixel(c, kKey)) << "the key colour must not be drawn";
  EXPECT_EQ(c.At(kOffset + 2, kOffset + 2), Face());
  EXPECT_EQ(c.At(kOffset + 8, kOffset + 8), kRed);
  EXPECT_EQ(c.At(kOffset + 23, kOffset + 23), kRed);
  EXPECT_NE(c.At(kOffset + 24, kOffset + 24), kRed);
}

TEST_F(GlyphButtonTest, PressedLookShiftsGlyphAndChangesFrameWhileHeldInside) {
  button.SetGlyph(MakeGlyph({kRed}), 1, true);
  Canvas up(GlyphButton::kSize, GlyphButton::kSize), down(GlyphButton::kSize, GlyphButton::kSize);
  button.PaintContent(up.dc());
  MoveTo(button.hwnd(), 5, 5);
  PostMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PumpMessagesFor(30);
  ASSERT_TRUE(button.Pressed());
  button.PaintContent(down.dc());
  EXPECT_EQ(up.At(kOffset + 8, kOffset + 8), kRed);
  EXPECT_NE(down.At(kOffset + 8, kOffset + 8), kRed);
  EXPECT_EQ(down.At(kOffset + 24, kOffset + 24), kRed);
  EXPECT_NE(up.At(1, 1), down.At(1, 1)) << "raised and sunken frames differ";

  // Dragged out while held: drawn raised again; back in: pressed again.
  MoveTo(button.hwnd(), 200, 5);
  EXPECT_FALSE(button.Pressed());
  MoveTo(button.hwnd(), 6, 6);
  EXPECT_TRUE(button.Pressed());
  PostMessageW(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
  PumpMessagesFor(30);
  EXPECT_FALSE(button.Pressed());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GlyphButtonTest, DisabledOneImageGlyphIsEmbossedTwoImageGlyphUsesSecondImage) {
  button.SetGlyph(MakeGlyph({kRed}), 1, true);
  button.SetEnabled(false);
  Canvas single(GlyphButton::kSize, GlyphButton::kSize);
  button.PaintContent(single.dc());
  EXPECT_FALSE(AnyPixel(single, kRed));
  EXPECT_FALSE(AnyPixel(single, kKey));
  EXPECT_EQ(single.At(kOffset + 10, kOffset + 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(single.At(kOffset + 24, kOffset + 24), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(single.At(kOffset + 2, kOffset + 2), Face());

  button.SetGlyph(MakeGlyph({kRed, kBlue}), 2, true);
  Canvas pair(GlyphButton::kSize, GlyphButton::kSize);
  button.PaintContent(pair.dc());
  EXPECT_EQ(pair.At(kOffset + 10, kOffset + 10), kBlue);
  EXPECT_FALSE(AnyPixel(pair, kRed));
  EXPECT_FALSE(AnyPixel(pair, kKey));

  button.SetEnabled(true);
  Canvas enabled(GlyphButton::kSize, GlyphButton::kSize);
  button.PaintContent(enabled.dc());
  EXPECT_EQ(enabled.At(kOffset + 10, kOffset + 10), kRed);
}

// A 32-bit DIB section canvas, the kind WM_PAINT draws into: the glyph is
// composed straight into its pixels there instead of through TransparentBlt.
class DibCanvas {
 public:
  DibCanvas(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, like the paint buffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~DibCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { GdiFlush(); return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Every pixel of the composed glyph equals what TransparentBlt draws, in the
// normal, pressed and own-disabled-image looks, and with a glyph that
// reaches past the button's edge.
TEST_F(GlyphButtonTest, ComposedGlyphMatchesTransparentBltPixelForPixel) {
  const auto same = [&](const char* look) {
    Canvas ddb(GlyphButton::kSize, GlyphButton::kSize);
    DibCanvas dib(GlyphButton::kSize, GlyphButton::kSize);
    button.PaintContent(ddb.dc());
    button.PaintContent(dib.dc());
    int differing = 0;
    for (int y = 0; y < GlyphButton::kSize; ++y)
      for (int x = 0; x < GlyphButton::kSize; ++x) differing += ddb.At(x, y) != dib.At(x, y);
    EXPECT_EQ(differing, 0) << look;
    return dib.At(kOffset + 10, kOffset + 10);
  };
  button.SetGlyph(MakeGlyph({kRed, kBlue}), 2, true);
  EXPECT_EQ(same("normal"), kRed);
  button.SetEnabled(false);
  EXPECT_EQ(same("disabled, own image"), kBlue);
  button.SetEnabled(true);
  MoveTo(button.hwnd(), 5, 5);
  PostMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PumpMessagesFor(30);
  ASSERT_TRUE(button.Pressed());
  button.SetDefault(true);
  EXPECT_NE(same("pressed default"), kBlue);
  PostMessageW(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
  PumpMessagesFor(30);

  RecordingButton small;
  ASSERT_TRUE(small.Create(host.hwnd(), 60, 10, 20, 20, 78));
  small.SetGlyph(MakeGlyph({kRed}), 1, true);
  Canvas ddb(20, 20);
  DibCanvas dib(20, 20);
  small.PaintContent(ddb.dc());
  small.PaintContent(dib.dc());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(ddb.At(x, y), dib.At(x, y)) << x << "," << y;
  EXPECT_EQ(dib.At(10, 10), kRed);
}

// The real WM_PAINT, through the shared off-screen buffer, puts the glyph on
// screen; a second, smaller button painted after a larger one shows no
// leftovers of the first.
TEST_F(GlyphButtonTest, PaintedWindowShowsTheGlyphOnScreen) {
  button.SetGlyph(MakeGlyph({kRed}), 1, true);
  RecordingButton small;
  ASSERT_TRUE(small.Create(host.hwnd(), 60, 10, 20, 20, 78));
  small.SetGlyph(MakeGlyph({kBlue}), 1, true);
  ShowWindow(host.hwnd(), SW_SHOWNA);
  UpdateWindow(host.hwnd());
  RedrawWindow(button.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RedrawWindow(small.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(button.hwnd());
  const COLORREF inside = GetPixel(dc, kOffset + 10, kOffset + 10);
  ReleaseDC(button.hwnd(), dc);
  dc = GetDC(small.hwnd());
  const COLORREF smallInside = GetPixel(dc, 10, 10);
  const COLORREF smallCorner = GetPixel(dc, 1, 1);
  ReleaseDC(small.hwnd(), dc);
  EXPECT_EQ(inside, kRed);
  EXPECT_EQ(smallInside, kBlue);
  EXPECT_NE(smallCorner, kRed);
}

TEST_F(GlyphButtonTest, GlyphNotOwnedSurvivesTheButtonOwnedOneIsFreed) {
  HBITMAP kept = MakeGlyph({kRed});
  {
    RecordingButton other;
    ASSERT_TRUE(other.Create(host.hwnd(), 60, 10));
    other.SetGlyph(kept);
  }
  BITMAP bm{};
  EXPECT_EQ(GetObjectW(kept, sizeof bm, &bm), static_cast<int>(sizeof bm));
  HBITMAP owned = MakeGlyph({kRed});
  {
    RecordingButton other;
    ASSERT_TRUE(other.Create(host.hwnd(), 60, 10));
    other.SetGlyph(owned, 1, true);
  }
  EXPECT_EQ(GetObjectW(owned, sizeof bm, &bm), 0);
  DeleteObject(kept);
}

TEST_F(GlyphButtonTest, LeftClickInsideClicksAndNotifiesParentReleaseOutsideDoesNot) {
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  PostClick(button.hwnd(), Button::Left);
  PumpMessagesFor(50);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0], std::make_pair(77, static_cast<int>(BN_CLICKED)));
  ASSERT_EQ(button.ups.size(), 1u);
  EXPECT_EQ(button.ups[0].button, MouseButton::Left);

  PostClick(button.hwnd(), Button::Left, {5, 5}, {120, 5});
  PumpMessagesFor(50);
  EXPECT_EQ(clicks, 1) << "released outside: no click";
  ASSERT_EQ(button.ups.size(), 2u) << "but the release is still reported";
  EXPECT_EQ(button.ups[1].x, 120);

  button.SetEnabled(false);
  PostClick(button.hwnd(), Button::Left);
  PumpMessagesFor(50);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.ups.size(), 2u) << "a disabled button ignores the mouse";
}

TEST_F(GlyphButtonTest, MouseUpReportsButtonShiftAndPosition) {
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  PostClick(button.hwnd(), Button::Right, {4, 6}, {7, 9}, MK_SHIFT);
  PostClick(button.hwnd(), Button::Middle);
  PostClick(button.hwnd(), Button::Left, {3, 3}, {3, 3}, MK_SHIFT);
  PumpMessagesFor(80);
  ASSERT_EQ(button.ups.size(), 3u);
  EXPECT_EQ(button.ups[0].button, MouseButton::Right);
  EXPECT_TRUE(button.ups[0].keys & MK_SHIFT);
  EXPECT_EQ(button.ups[0].x, 7);
  EXPECT_EQ(button.ups[0].y, 9);
  EXPECT_EQ(button.ups[1].button, MouseButton::Middle);
  EXPECT_FALSE(button.ups[1].keys & MK_SHIFT);
  EXPECT_EQ(button.ups[2].button, MouseButton::Left);
  EXPECT_TRUE(button.ups[2].keys & MK_SHIFT);
  EXPECT_EQ(clicks, 1) << "only the left button clicks";
}

TEST_F(GlyphButtonTest, ClickHandlerMayDestroyTheButton) {
  auto* doomed = new RecordingButton;
  ASSERT_TRUE(doomed->Create(host.hwnd(), 60, 10, 38, 38, 5));
  doomed->OnClick = [&doomed] { delete doomed; doomed = nullptr; };
  PostClick(doomed->hwnd(), Button::Left);
  PumpMessagesFor(50);
  EXPECT_EQ(doomed, nullptr);
}

TEST_F(GlyphButtonTest, BmClickAndSpaceClick) {
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  SendMessageW(button.hwnd(), BM_CLICK, 0, 0);
  SendMessageW(button.hwnd(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(GlyphButtonTest, CursorSwitchesToDragCursorAndBack) {
  HCURSOR drag = GlyphButton::DragCursor();
  ASSERT_NE(drag, nullptr);
  EXPECT_EQ(drag, GlyphButton::DragCursor());
  EXPECT_NE(drag, LoadCursorW(nullptr, IDC_ARROW));
  button.SetCursor(drag);
  EXPECT_EQ(SendMessageW(button.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.hwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), drag);
  button.SetCursor(nullptr);
  SendMessageW(button.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(GlyphButtonTest, CaptionIsWindowTextAndDrawn) {
  button.SetBounds(10, 10, 81, 38);
  button.SetCaption("登録削除");
  EXPECT_EQ(testing::ReadWindowText(button.hwnd()), "登録削除");
  Canvas c(81, 38);
  button.PaintContent(c.dc());
  bool textPixel = false;
  for (int y = 0; y < 38 && !textPixel; ++y)
    for (int x = 0; x < 81; ++x)
      if (c.At(x, y) == GetSysColor(COLOR_BTNTEXT)) { textPixel = true; break; }
  EXPECT_TRUE(textPixel);
}

TEST_F(GlyphButtonTest, DroppedShiftJisNamesArriveIntact) {
  DragAcceptFiles(button.hwnd(), TRUE);
  // "表" ends in 0x5C: a name handled as single bytes would be cut there.
  const std::vector<std::string> names{"C:\\表示\\表示.txt", "D:\\ｿﾌﾄ\\a b.exe"};
  testing::PostDrop(button.hwnd(), names, {3, 4});
  ASSERT_TRUE(testing::WaitUntil([&] { return !button.dropped.empty(); }));
  EXPECT_EQ(button.dropped, names);
}

TEST(DropHandle, RoundTripThroughShellQueries) {
  const std::vector<std::string> names{"C:\\表示.txt", "Z:\\予定表\\ﾒﾓ.doc", "C:\\plain.txt"};
  HDROP drop = testing::MakeDropHandle(names, {12, 34});
  ASSERT_NE(drop, nullptr);
  ASSERT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 3u);
  for (UINT i = 0; i < 3; ++i) {
    wchar_t name[MAX_PATH];
    ASSERT_GT(DragQueryFileW(drop, i, name, MAX_PATH), 0u);
    EXPECT_EQ(NarrowOrThrow(name), names[i]);
  }
  POINT pt{};
  DragQueryPoint(drop, &pt);
  EXPECT_EQ(pt.x, 12);
  EXPECT_EQ(pt.y, 34);
  DragFinish(drop);
}

}  // namespace
}  // namespace kb::win::tests

namespace kb::win::tests {
namespace {

// A small modal form with glyph OK/Cancel buttons and an edit field, like the
// registration dialog's.
class GlyphDialog : public Window {
 public:
  GlyphDialog() {
    Create(L"TKbGlyphDialog", WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 200, 300,
           120, nullptr);
    SetWindowTextW(hwnd(), L"GlyphDialog");
    ok.Create(hwnd(), 20, 60, 75, 25, IDOK);
    ok.SetCaption("OK");
    ok.SetDefault(true);
    cancel.Create(hwnd(), 110, 60, 75, 25, IDCANCEL);
    cancel.SetCaption("ｷｬﾝｾﾙ");
    update.Create(hwnd(), 200, 60, 75, 25, 4);
    update.SetCaption("更新(&A)");
    update.OnClick = [this] { EndModal(mrUpdate); };
    field = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 20, 120, 20,
                            hwnd(), reinterpret_cast<HMENU>(50), GetModuleHandleW(nullptr), nullptr);
  }
  ~GlyphDialog() override { Destroy(); }
  HWND focusOnShow = nullptr;
  GlyphButton ok, cancel, update;
  HWND field = nullptr;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndModal(LOWORD(wParam) == IDOK ? mrOk : mrCancel);
      return 0;
    }
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && focusOnShow) {
      SetFocus(focusOnShow);
      return 0;
    }
    return DefaultHandling(msg, wParam, lParam);
  }
};

int RunWithKey(GlyphDialog& dialog, HWND focus, UINT key) {
  dialog.focusOnShow = focus;
  testing::DialogWatch watch(
      "GlyphDialog",
      [focus, key](HWND) {
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
      },
      5000);
  const int result = dialog.ShowModal();
  EXPECT_TRUE(watch.Fired());
  return result;
}

TEST(GlyphButtonInDialog, EnterAndEscapeWorkWithGlyphOkAndCancel) {
  GlyphDialog dialog;
  EXPECT_EQ(RunWithKey(dialog, dialog.field, VK_RETURN), mrOk) << "Enter in a field: OK";
  EXPECT_EQ(RunWithKey(dialog, dialog.field, VK_ESCAPE), mrCancel);
  EXPECT_EQ(RunWithKey(dialog, dialog.cancel.hwnd(), VK_RETURN), mrCancel)
      << "Enter on the focused Cancel button clicks it";
  EXPECT_EQ(RunWithKey(dialog, dialog.ok.hwnd(), VK_SPACE), mrOk);
}

TEST(GlyphButtonInDialog, AltWithTheCaptionsAcceleratorClicksTheButton) {
  GlyphDialog dialog;
  dialog.focusOnShow = dialog.field;
  testing::DialogWatch watch(
      "GlyphDialog",
      [field = dialog.field](HWND) {
        constexpr LPARAM kAltDown = 1 | (1 << 29);
        PostMessageW(field, WM_SYSKEYDOWN, 'A', kAltDown);
        PostMessageW(field, WM_SYSCHAR, L'a', kAltDown);
        PostMessageW(field, WM_SYSKEYUP, 'A', kAltDown | 0xC0000000);
      },
      5000);
  EXPECT_EQ(dialog.ShowModal(), mrUpdate);
}

}  // namespace
}  // namespace kb::win::tests
