// The launcher at 150 % and 200 %: the bar, the group window, both dialogs
// and the icons at their scaled sizes, and the stored files as at 96 dpi.
//
// In the ordinary run (a 96-dpi prefix) the scale is forced through the
// launcher's options; dpi_session_test.sh runs the same program in a prefix
// of its own with LogPixels 144 and then 192, where the launcher takes the
// scale from the system (KB_EXPECT_DPI names it).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "groups/edit_window.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "model/bar_layout.h"
#include "model/group_layout.h"
#include "settings/pages_dlg.h"
#include "settings/tests/recording_actions.h"
#include "win/dpi.h"
#include "win/icon_store.h"
#include "win/testing/temp_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

namespace wt = win::testing;

// The DPI the system itself is set to for this run (0: none, force it).
int ExpectedSystemDpi() {
  const char* value = std::getenv("KB_EXPECT_DPI");
  return value ? std::atoi(value) : 0;
}

// The scales this run checks: the system's own, or 150 % and 200 % forced.
std::vector<int> DpisUnderTest() {
  if (const int system = ExpectedSystemDpi()) return {system};
  return {144, 192};
}

// --- An icon file with its own image at each size ---------------------------------

uint32_t PatternPixel(int size, int x, int y) {  // 0x00RRGGBB, unlike for each size
  return (static_cast<uint32_t>((x * 7 + size) & 0xFF) << 16) |
         (static_cast<uint32_t>((y * 5 + size * 3) & 0xFF) << 8) |
         static_cast<uint32_t>((x ^ y) * 3 & 0xFF);
}

void Put16(std::string& b, int v) { b += static_cast<char>(v & 0xFF); b += static_cast<char>((v >> 8) & 0xFF); }
void Put32(std::string& b, uint32_t v) { Put16(b, static_cast<int>(v & 0xFFFF)); Put16(b, static_cast<int>(v >> 16)); }

// 32-bit opaque images (alpha 255, an empty AND mask): drawn, each pixel is
// exactly the pattern's.
std::string IconFileBytes(const std::vector<int>& sizes) {
  std::vector<std::string> images;
  for (int size : sizes) {
    std::string image;
    Put32(image, 40); Put32(image, static_cast<uint32_t>(size)); Put32(image, static_cast<uint32_t>(2 * size));
    Put16(image, 1); Put16(image, 32); Put32(image, 0);
    Put32(image, static_cast<uint32_t>(size * size * 4));
    for (int i = 0; i < 4; ++i) Put32(image, 0);
    for (int y = size - 1; y >= 0; --y) {  // bottom-up
      for (int x = 0; x < size; ++x) Put32(image, PatternPixel(size, x, y) | 0xFF000000u);
    }
    image.append(static_cast<size_t>((size + 31) / 32 * 4 * size), '\0');
    images.push_back(image);
  }
  std::string file;
  Put16(file, 0); Put16(file, 1); Put16(file, static_cast<int>(sizes.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    file += static_cast<char>(sizes[i] & 0xFF); file += static_cast<char>(sizes[i] & 0xFF);
    file += '\0'; file += '\0';
    Put16(file, 1); Put16(file, 32);
    Put32(file, static_cast<uint32_t>(images[i].size())); Put32(file, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& image : images) file += image;
  return file;
}

// A glyph's pixels (0x00RRGGBB, top-down) and its size.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> p;
  uint32_t at(int x, int y) const { return p[static_cast<size_t>(y * width + x)] & 0xFFFFFF; }
};

Pixels ReadBitmap(HBITMAP bitmap) {
  Pixels px;
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  px.width = bm.bmWidth;
  px.height = bm.bmHeight;
  px.p.resize(static_cast<size_t>(px.width * px.height));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, px.width, -px.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(px.height), px.p.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return px;
}

// How many pixels differ from the file's image of that size (the bottom-left
// one is the glyph's transparent colour and is left out).
int DifferencesFromPattern(const Pixels& glyph, int size) {
  int differ = 0;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      if (x == 0 && y == glyph.height - 1) continue;
      if (glyph.at(x, y) != PatternPixel(size, x, y)) ++differ;
    }
  }
  return differ;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

RECT ChildBounds(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int FontHeight(HWND window) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  GetObjectW(font, sizeof lf, &lf);
  return lf.lfHeight;
}

// --- The launcher at one scale ------------------------------------------------------

class ScaledLauncher {
 public:
  // dpi 0: the system's (the bar's monitor's).
  ScaledLauncher(const wt::TempFolder& folder, const std::string& ini, int dpi) {
    folder.Write("data\\KBINI.dat", ini);
    AppOptions options;
    options.exeDir = folder.path();
    options.screenWidth = 1024;
    options.screenHeight = 768;
    options.dpi = dpi;
    app_ = std::make_unique<App>(options);
    app_->CreateForms();
  }
  ~ScaledLauncher() {
    app_.reset();
    wt::PumpMessagesFor(10);
  }
  App& app() { return *app_; }
  DpiScale scale() const { return DpiScale(app_->dpi); }

 private:
  std::unique_ptr<App> app_;
};

std::string IniFor(int edge) {
  return "[Info]\r\nType=" + std::to_string(edge) + "\r\n";
}

class Dpi : public ::testing::TestWithParam<int> {
 protected:
  int ForcedDpi() const { return ExpectedSystemDpi() ? 0 : GetParam(); }
  wt::TempFolder folder_;
};

TEST_P(Dpi, TheLauncherTakesTheScaleOfTheBarsMonitor) {
  ScaledLauncher launcher(folder_, IniFor(kEdgeTop), ForcedDpi());
  EXPECT_EQ(launcher.app().dpi, GetParam());
  // The acceptance figures: 57 and 76 pixels.
  const int thickness = GetParam() == 144 ? 57 : GetParam() == 192 ? 76 : DpiScale(GetParam())(38);
  const RECT bar = launcher.app().MainForm().Bounds();
  EXPECT_EQ(bar.bottom - bar.top, thickness);
}

TEST_P(Dpi, BarAndGroupWindowAtEachEdgeAtTheScaledSizesAndPitch) {
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    SCOPED_TRACE("edge " + std::to_string(edge));
    ScaledLauncher launcher(folder_, IniFor(edge), ForcedDpi());
    const DpiScale s = launcher.scale();
    TMainForm& bar = launcher.app().MainForm();
    const bool horizontal = IsHorizontalEdge(edge);
    const RECT b = bar.Bounds();
    EXPECT_EQ(horizontal ? b.bottom - b.top : b.right - b.left, s(kBarThickness));
    const int length = horizontal ? 1024 : 768;
    const int count = launcher.app().settings.GroupCount;
    EXPECT_EQ(count, GroupButtonCount(length, s));
    EXPECT_LT(count, GroupButtonCount(length)) << "fewer buttons fit a scaled bar";
    for (int k = 1; k <= count; ++k) {
      const RECT r = bar.GroupButton(k)->Bounds();
      EXPECT_EQ(r.right - r.left, s(38));
      EXPECT_EQ(r.bottom - r.top, s(38));
      EXPECT_EQ(horizontal ? r.left : r.top, k * s(39)) << k;
    }
    const RECT help = bar.HelpBtn.Bounds();
    EXPECT_EQ(horizontal ? help.left : help.top, (count + 1) * s(39));
    const RECT last = (horizontal ? bar.SclRight : bar.SclDown).Bounds();
    EXPECT_LE(horizontal ? last.right : last.bottom, length + s(2) + 1);
    BITMAP glyph{};
    GetObjectW(bar.SpeedButton1.Glyph(), sizeof glyph, &glyph);
    EXPECT_EQ(glyph.bmWidth, s(32)) << "the settings glyph is drawn at the scale";

    // The group window of group 1, opened by its button.
    wt::PostClick(bar.GroupButton(1)->hwnd());
    TSubForm& form = launcher.app().SubForm();
    ASSERT_TRUE(wt::WaitUntil([&] { return form.Visible(); }));
    const RECT w = form.Bounds();
    const int across = horizontal ? 768 : 1024;
    EXPECT_EQ(form.DisplayCount(), across / s(39) - 1);
    EXPECT_EQ(horizontal ? w.right - w.left : w.bottom - w.top, s(38));
    EXPECT_EQ(horizontal ? w.bottom - w.top : w.right - w.left, form.DisplayCount() * s(39));
    const int gap = edge == kEdgeTop || edge == kEdgeLeft ? (horizontal ? w.top : w.left)
                    : edge == kEdgeBottom ? 768 - w.bottom : 1024 - w.right;
    EXPECT_EQ(gap, s(kBarThickness)) << "the window starts at the bar";
    const RECT first = form.Buttons(1).Bounds();
    EXPECT_EQ(first.right - first.left, s(38));
    const RECT second = form.Buttons(2).Bounds();
    EXPECT_EQ(std::abs(horizontal ? second.top - first.top : second.left - first.left), s(39));
  }
}

TEST_P(Dpi, BothDialogsAtTheirScaledSizesWithTheScaledFont) {
  ScaledLauncher launcher(folder_, IniFor(kEdgeTop), ForcedDpi());
  const DpiScale s = launcher.scale();
  // The registration dialog against one made at 96 dpi.
  TEditWindow base(nullptr);
  TEditWindow& scaled = launcher.app().EditWindow();
  const SIZE b = ClientSize(base.hwnd()), c = ClientSize(scaled.hwnd());
  EXPECT_EQ(c.cx, s(b.cx));
  EXPECT_EQ(c.cy, s(b.cy));
  for (int id : {TEditWindow::kEdit1, TEditWindow::kButton2, TEditWindow::kCheckBox1,
                 TEditWindow::kBitBtn3}) {
    const RECT r0 = ChildBounds(base.Control(id)), r = ChildBounds(scaled.Control(id));
    EXPECT_EQ(r.left, s(r0.left)) << id;
    EXPECT_EQ(r.top, s(r0.top)) << id;
    EXPECT_EQ(r.right - r.left, s(r0.right - r0.left)) << id;
  }
  EXPECT_EQ(FontHeight(scaled.Control(TEditWindow::kEdit1)), -s(12));
  const RECT bevel = scaled.Bevel1Bounds();
  EXPECT_EQ(bevel.right - bevel.left, s(409));

  // The settings dialog: a client area of 422 × 295 at 96 dpi.
  testing::RecordingActions actions(launcher.app().settings);
  TPagesDlg dialog(launcher.app().MainForm().hwnd(), launcher.app(), actions);
  const SIZE d = ClientSize(dialog.hwnd());
  EXPECT_EQ(d.cx, s(422));
  EXPECT_EQ(d.cy, s(295));
  EXPECT_EQ(FontHeight(GetDlgItem(dialog.hwnd(), TPagesDlg::kOKBtn)), -s(12));
  const RECT ok = ChildBounds(GetDlgItem(dialog.hwnd(), TPagesDlg::kOKBtn));
  EXPECT_EQ(ok.right - ok.left, s(74));
  BITMAP close{};
  GetObjectW(dialog.BitBtn1.Glyph(), sizeof close, &close);
  EXPECT_EQ(close.bmHeight, s(16)) << "the close button's picture is drawn at the scale";
}

TEST_P(Dpi, IconsComeFromTheFilesOwnImageOfTheScaledSizeAndTheStoredCellStays32) {
  folder_.Write("three.ico", IconFileBytes({32, 48, 64}));
  ScaledLauncher launcher(folder_, IniFor(kEdgeTop), ForcedDpi());
  const int size = launcher.scale()(32);
  App& app = launcher.app();
  TGroupButton& group = *app.MainForm().GroupButton(1);
  group.Entry.IconFile = folder_.Path("three.ico");
  group.RefreshGlyph();
  const Pixels shown = ReadBitmap(group.ShownGlyph());
  ASSERT_EQ(shown.width, size);
  EXPECT_EQ(DifferencesFromPattern(shown, size), 0) << "drawn from the file's " << size << " image";
  const Pixels stored = ReadBitmap(group.GlyphBitmap());
  ASSERT_EQ(stored.width, 32);
  EXPECT_EQ(DifferencesFromPattern(stored, 32), 0) << "the stored glyph is the 32 x 32 image";
  for (int x = 1; x < 32; x += 5) {
    const uint32_t p = PatternPixel(32, x, 3);
    EXPECT_EQ(app.Icons.PixelAt(x, 3), RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF)) << "store cell";
  }

  // A program slot shows the same; with its icon file gone, the stored cell
  // enlarged.
  TSubForm& form = app.SubForm();
  TLaunchData record;
  record.FPFileName = folder_.Path("three.ico");
  record.IconFile = record.FPFileName;
  form.Entries.At(1, 1) = record;
  form.ShowGroup(1);
  form.Buttons(1).SetIconGlyph(nullptr);  // the glyph into the store, as a drop does
  EXPECT_EQ(DifferencesFromPattern(ReadBitmap(form.Buttons(1).ShownGlyph()), size), 0);
  ASSERT_TRUE(DeleteFileW(win::Widen(folder_.Path("three.ico")).c_str()));
  form.ShowGroup(1);
  const Pixels fallback = ReadBitmap(form.Buttons(1).ShownGlyph());
  const Pixels cell = ReadBitmap(form.Buttons(1).GlyphBitmap());
  int differ = 0;
  for (int y = 0; y < size - 1; ++y) {
    for (int x = 1; x < size; ++x) {
      if (fallback.at(x, y) != cell.at(x * 32 / size, y * 32 / size)) ++differ;
    }
  }
  EXPECT_EQ(differ, 0) << "without the file, the stored 32 x 32 cell is shown enlarged";
}

// The bar moved to a monitor of another scale (or the user changed it):
// everything is laid out again, and back.
TEST_P(Dpi, ADpiChangeLaysTheBarTheGroupWindowAndTheDialogsOutAgain) {
  if (ExpectedSystemDpi()) GTEST_SKIP() << "a change from 96 dpi is checked in the 96-dpi run";
  ScaledLauncher launcher(folder_, IniFor(kEdgeLeft), 96);
  App& app = launcher.app();
  TMainForm& bar = app.MainForm();
  const int groups96 = app.settings.GroupCount;
  const SIZE edit96 = ClientSize(app.EditWindow().hwnd());
  for (int dpi : {GetParam(), 96}) {
    SCOPED_TRACE(dpi);
    const DpiScale s(dpi);
    SendMessageW(bar.hwnd(), TMainForm::kDpiChangedMessage, MAKEWPARAM(dpi, dpi), 0);
    EXPECT_EQ(app.dpi, dpi);
    const RECT b = bar.Bounds();
    EXPECT_EQ(b.right - b.left, s(38));
    const int shown = GroupButtonCount(768, s);
    for (int k = 1; k <= shown; ++k) EXPECT_EQ(bar.GroupButton(k)->Bounds().top, k * s(39)) << k;
    EXPECT_EQ(bar.HelpBtn.Bounds().top, (shown + 1) * s(39));
    EXPECT_EQ(app.settings.GroupCount, shown);
    EXPECT_NE(bar.GroupButton(groups96), nullptr) << "the buttons made at the start stay";
    EXPECT_EQ(bar.GroupButton(1)->ShownGlyph() == bar.GroupButton(1)->GlyphBitmap(), dpi == 96);
    TSubForm& form = app.SubForm();
    EXPECT_EQ(form.DisplayCount(), 1024 / s(39) - 1);
    const RECT w = form.Bounds();
    EXPECT_EQ(w.bottom - w.top, s(38));
    EXPECT_EQ(w.left, s(38));
    const SIZE edit = ClientSize(app.EditWindow().hwnd());
    EXPECT_EQ(edit.cx, s(edit96.cx));
    EXPECT_EQ(edit.cy, s(edit96.cy));
  }
}

// The same state saved by a launcher at 96 dpi and by one at the scale.
TEST_P(Dpi, SettingsFileAndIconStoreAreByteForByteThoseOf96Dpi) {
  std::vector<std::string> saved[2];
  const int dpis[2] = {96, ForcedDpi()};
  for (int run = 0; run < 2; ++run) {
    wt::TempFolder folder;
    folder.Write("three.ico", IconFileBytes({32, 48, 64}));
    {
      ScaledLauncher launcher(folder, IniFor(kEdgeLeft) + "AutoHide=0\r\n", dpis[run]);
      App& app = launcher.app();
      TGroupButton& group = *app.MainForm().GroupButton(2);
      group.Entry.ShowName = "表示";
      group.Entry.IconFile = folder.Path("three.ico");
      group.RefreshGlyph();
      app.SubForm().ShowGroup(2);
      TExecButton& slot = app.SubForm().Buttons(3);
      app.CurrentGroup = 2;
      app.CurrentButton = 3;
      slot.SetFromFile(folder.Path("three.ico"));
      app.SubForm().Entries.At(2, 3) = slot.Entry;
      app.Close();
    }
    saved[run] = {folder.Read("data\\KBINI.dat"), folder.Read("data\\Iconbmp.dat")};
    const std::string prefix = folder.path();
    for (std::string& text : saved[run]) {
      // The folder's own name differs between the runs.
      for (size_t at; (at = text.find(prefix)) != std::string::npos;) text.replace(at, prefix.size(), "<dir>");
    }
  }
  ASSERT_FALSE(saved[0][0].empty());
  EXPECT_EQ(saved[1][0], saved[0][0]) << "settings file";
  ASSERT_FALSE(saved[0][1].empty());
  EXPECT_TRUE(saved[1][1] == saved[0][1]) << "icon store";
}

TEST(DpiAwareness, TheProcessDeclaresItselfAwareWhereTheSystemLetsIt) {
  // Wine 8 refuses per-monitor v2 and takes per-monitor v1; XP knows none.
  EXPECT_NE(win::CurrentDpiAwareness(), win::DpiAwareness::None);
}

INSTANTIATE_TEST_SUITE_P(Scales, Dpi, ::testing::ValuesIn(DpisUnderTest()));

}  // namespace
}  // namespace kb

int main(int argc, char** argv) {
  // As the launcher does before its first window.
  const kb::win::DpiAwareness awareness = kb::win::DeclareDpiAwareness();
  std::fprintf(stderr, "DPI awareness: %d (0 none, 1 system, 2 per monitor, 3 per monitor v2)\n",
               static_cast<int>(awareness));
  ::testing::InitGoogleTest(&argc, argv);
  if (const int expected = kb::ExpectedSystemDpi()) {
    const int system = kb::win::SystemDpi();
    if (system != expected) {
      std::fprintf(stderr, "the system runs at %d dpi, not %d\n", system, expected);
      return 1;
    }
  }
  return RUN_ALL_TESTS();
}
